// The maintenance menu opens each editor afresh.
#include <QPushButton>
#include <QtTest>

#include "maintenance/menu_mast.h"
#include "screentestcontext.h"
#include "ui/grid/grid.h"

using namespace tsumiki;

class TestMenuMast : public QObject {
    Q_OBJECT

private slots:
    // Each opening loads the file afresh: an edit left unsaved the first time is gone the second (tables empty).
    void buttonsOpenTheirEditorsAfresh() {
        test::ScreenTestContext t;
        t.folder.writeEmptyTables();
        QStringList opened;
        t.navigator.onShow = [&opened](QDialog& screen) {
            screen.show();
            auto* grid = screen.findChild<Grid*>();
            opened << screen.objectName() + ' ' + grid->textMatrix(1, 1);
            grid->setTextMatrix(1, 1, "unsaved");
        };
        Menu_Mast menu(t.context);
        for (const char* button : {"cmdin", "Command1", "Command4", "Command2"}) {
            menu.findChild<QPushButton*>(button)->click();
            menu.findChild<QPushButton*>(button)->click();
        }
        QCOMPARE(opened, (QStringList{"Mast_User ", "Mast_User ", "Mast_Ctrl ", "Mast_Ctrl ", "Mast_Message ",
                                      "Mast_Message ", "Mast_Kinmu ", "Mast_Kinmu "}));
    }
};

QTEST_MAIN(TestMenuMast)
#include "tst_menu_mast.moc"
