#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "screentestcontext.h"
#include "sheets/form5.h"
#include "ui/controlnames.h"
#include "ui/grid/grid.h"

using namespace tsumiki;
using namespace tsumiki::test;

class TestForm5 : public QObject {
    Q_OBJECT
private slots:
    void staffList_data();
    void staffList();
    void exportWritesTheList();
};

void TestForm5::staffList_data() {
    QTest::addColumn<QStringList>("users");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("file order, the row without ID left out")
        << QStringList{"\"0001\",\"店長\",\"ADMIN\",3000", "\"\",\"IDなし\",\"\",1", "\"0002\",\"さくら\",\"\","}
        << QStringList{"ニックネーム|時間|金額|", "店長|10:07|30,000|0001", "さくら|1:00|0|0002"};
    QTest::newRow("no users") << QStringList{} << QStringList{"ニックネーム|時間|金額|"};
}

void TestForm5::staffList() {
    QFETCH(QStringList, users);
    QFETCH(QStringList, lines);
    ScreenTestContext t;
    t.folder.writeEmptyTables();
    t.folder.writeTable(Table::User, QStringList{"ID,USERNAME,KENGEN,TANKA"} + users);
    t.folder.writeClockRows({clockRow("0001", "2026/12/05", "2026/12/05 09:00", "1", "0"),
                             clockRow("0001", "2026/12/05", "2026/12/05 19:07", "2"),
                             clockRow("0002", "2026/12/05", "2026/12/05 09:00", "1", "0"),
                             clockRow("0002", "2026/12/05", "2026/12/05 10:00", "2")});
    Form5 form(t.context);
    form.setSheetYear("2026");
    form.setSheetMonth("12");
    form.show();
    QCOMPARE(form.findChild<QLabel*>(names::sheet::month)->text(), "2026年12月");
    const Grid* grid = form.findChild<Grid*>(names::sheet::grid);
    QStringList shown;
    for (int r = 0; r < grid->rows(); ++r) {
        shown << QStringList{grid->textMatrix(r, 0), grid->textMatrix(r, 1), grid->textMatrix(r, 2),
                             grid->textMatrix(r, 3)}
                     .join(u'|');
    }
    QCOMPARE(shown, lines);
    // The ID column carries the key of every line but is not shown.
    QVERIFY(grid->isColumnHidden(3) || grid->columnWidth(3) == 0);
}

void TestForm5::exportWritesTheList() {
    ScreenTestContext t;
    t.folder.writeEmptyTables();
    t.folder.writeTable(Table::User,
                        {"ID,USERNAME,KENGEN,TANKA", "\"0001\",\"店長\",\"ADMIN\",3000", "\"0002\",\"\",\"\",1000"});
    t.folder.writeClockRows({clockRow("0001", "2026/12/05", "2026/12/05 09:00", "1"),
                             clockRow("0001", "2026/12/05", "2026/12/05 19:07", "2")});
    QDir(t.folder.path()).mkpath("excelテンプレート");
    QFile(t.folder.path() + "/excelテンプレート/勤務表全員.xls").open(QIODevice::WriteOnly);
    Form5 form(t.context);
    form.setSheetYear(QStringLiteral("2026"));
    form.setSheetMonth(QStringLiteral("12"));
    form.show();
    auto* button = form.findChild<QPushButton*>(names::sheet::exportButton);
    bool disabledDuringWait = false;
    t.pause.during = [&] { disabledDuringWait = !button->isEnabled(); };
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(disabledDuringWait && button->isEnabled());
    QVERIFY(t.boxes.shown.isEmpty());
    const FakeSpreadsheet::Book book =
        t.spreadsheet.books.value(t.folder.path() + "/出力帳票/勤務表全員_2026年12月.xls");
    QCOMPARE(book.cells.value({2, 2}).text, QStringLiteral("2026年12月"));
    QCOMPARE(book.cells.value({5, 3}).text, QStringLiteral("店長"));
    QCOMPARE(book.cells.value({5, 5}).number, (10 * 60 + 7) / 1440.0);
    QCOMPARE(book.cells.value({5, 6}).number, 30000.0);
    QVERIFY(book.cells.value({6, 3}).isEmpty());  // a user without a nickname
    QCOMPARE(book.cells.value({6, 5}).number, 0.0);
    QVERIFY(book.sheetProtected);
}

QTEST_MAIN(TestForm5)
#include "tst_form5.moc"
