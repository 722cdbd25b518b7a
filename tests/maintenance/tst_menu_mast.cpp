// The maintenance menu opens each editor afresh.
#include <QPushButton>
#include <QtTest>

#include "maintenance/menu_mast.h"
#include "screentestcontext.h"
#include "ui/grid/grid.h"

using namespace tsumiki;
using namespace tsumiki::test;

class TestMenuMast : public QObject {
    Q_OBJECT

private slots:
    void buttonsOpenTheirEditors_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("editor");
        QTest::newRow("users") << QString("cmdin") << QString("Mast_User");
        QTest::newRow("control") << QString("Command1") << QString("Mast_Ctrl");
        QTest::newRow("messages") << QString("Command4") << QString("Mast_Message");
        QTest::newRow("clock records") << QString("Command2") << QString("Mast_Kinmu");
    }

    // Each opening loads the file as it is then: an edit left unsaved the first time is gone the second.
    void buttonsOpenTheirEditors() {
        QFETCH(QString, button);
        QFETCH(QString, editor);
        ScreenTestContext t;
        t.folder.writeEmptyTables();
        t.folder.writeTable(Table::User, {"ID,USERNAME,KENGEN,TANKA", "\"0001\",\"太郎\",\"ADMIN\","});
        t.folder.writeTable(Table::Control, {"CTLCODE,CODE1,CODE2,CODE3,COMMENT", "CTL0001,,,,"});
        t.folder.writeTable(Table::Message, {"MSGID,MESSAGE", "M01001,おはよう"});
        t.folder.writeClockRows({"\"0001\",\"2026/12/05\",\"2026/12/05 09:00\",\"1\",\"0\""});
        QStringList firstCells;
        t.navigator.onShow = [&](QDialog& screen) {
            screen.show();
            auto* grid = screen.findChild<Grid*>(QStringLiteral("MSFlexGrid1"));
            firstCells << grid->textMatrix(1, 1);
            grid->setTextMatrix(1, 1, QStringLiteral("unsaved"));
        };
        Menu_Mast menu(t.context);
        menu.findChild<QPushButton*>(button)->click();
        menu.findChild<QPushButton*>(button)->click();
        QCOMPARE(t.navigator.opened.size(), 2);
        QCOMPARE(t.navigator.opened[1].screen, editor);
        QCOMPARE(firstCells, QStringList(2, firstCells.value(0)));
        QVERIFY(firstCells[0] != QStringLiteral("unsaved") && !firstCells[0].isEmpty());
    }
};

QTEST_MAIN(TestMenuMast)
#include "tst_menu_mast.moc"
