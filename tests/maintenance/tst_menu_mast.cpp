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
    // Each opening loads the file as it is then: an edit left unsaved the first time is gone the second.
    void buttonsOpenTheirEditorsAfresh() {
        test::ScreenTestContext t;
        t.folder.writeEmptyTables();
        t.folder.writeTable(Table::User, {"ID,USERNAME,KENGEN,TANKA", "\"0001\",\"太郎\",\"ADMIN\","});
        t.folder.writeSettings("5:00");
        t.folder.writeTable(Table::Message, {"MSGID,MESSAGE", "M01001,おはよう"});
        t.folder.writeClockRows({test::clockRow("0001", "2026/12/05", "2026/12/05 09:00", "1", "0")});
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
        QCOMPARE(opened,
                 (QStringList{"Mast_User 0001", "Mast_User 0001", "Mast_Ctrl CTL0003", "Mast_Ctrl CTL0003",
                              "Mast_Message M01001", "Mast_Message M01001", "Mast_Kinmu 0001", "Mast_Kinmu 0001"}));
    }
};

QTEST_MAIN(TestMenuMast)
#include "tst_menu_mast.moc"
