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
    void buttonsOpenTheirEditors_data();
    void buttonsOpenTheirEditors();
};

void TestMenuMast::buttonsOpenTheirEditors_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("editor");
    QTest::addColumn<QString>("caption");
    QTest::newRow("users") << "cmdin"
                           << "Mast_User"
                           << "メンテナンス - ﾆｯｸﾈｰﾑ,登録ID,権限設定";
    QTest::newRow("control") << "Command1"
                             << "Mast_Ctrl"
                             << "メンテナンス - コントロール設定";
    QTest::newRow("messages") << "Command4"
                              << "Mast_Message"
                              << "メンテナンス - メッセージ設定";
    QTest::newRow("clock records") << "Command2"
                                   << "Mast_Kinmu"
                                   << "メンテナンス - 出退勤時間設定";
}

// Each opening loads the file as it is then: an edit left unsaved the first time is gone the second.
void TestMenuMast::buttonsOpenTheirEditors() {
    QFETCH(QString, button);
    QFETCH(QString, editor);
    QFETCH(QString, caption);
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
        QCOMPARE(screen.windowTitle(), caption);
    };
    Menu_Mast menu(t.context);
    QCOMPARE(menu.objectName(), QStringLiteral("Menu_Mast"));
    menu.findChild<QPushButton*>(button)->click();
    menu.findChild<QPushButton*>(button)->click();
    QCOMPARE(t.navigator.opened.size(), 2);
    QCOMPARE(t.navigator.opened[1].screen, editor);
    QCOMPARE(firstCells.size(), 2);
    QCOMPARE(firstCells[0], firstCells[1]);
    QVERIFY(firstCells[0] != QStringLiteral("unsaved") && !firstCells[0].isEmpty());
}

QTEST_MAIN(TestMenuMast)
#include "tst_menu_mast.moc"
