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

// The list's figures are the sheet content's (tested there); here, that the screen shows and exports them.
class TestForm5 : public QObject {
    Q_OBJECT
private slots:
    void showsAndExportsTheList() {
        ScreenTestContext t;
        t.folder.writeEmptyTables();
        t.folder.writeTable(Table::User, {"ID,USERNAME,KENGEN,TANKA", "\"0001\",\"店長\",\"ADMIN\",3000",
                                          "\"\",\"IDなし\",\"\",1", "\"0002\",\"\",\"\",1000"});
        t.folder.writeClockRows({clockRow("0001", "2026/12/05", "2026/12/05 09:00", "1"),
                                 clockRow("0001", "2026/12/05", "2026/12/05 19:07", "2")});
        QDir(t.folder.path()).mkpath("excelテンプレート");
        QFile(t.folder.path() + "/excelテンプレート/勤務表全員.xls").open(QIODevice::WriteOnly);
        Form5 form(t.context);
        form.setSheetYear(QStringLiteral("2026"));
        form.setSheetMonth(QStringLiteral("12"));
        form.show();
        QCOMPARE(form.findChild<QLabel*>(names::sheet::month)->text(), "2026年12月");
        const Grid* grid = form.findChild<Grid*>(names::sheet::grid);
        QStringList shown;
        for (int r = 0; r < grid->rows(); ++r) {
            shown << QStringList{grid->textMatrix(r, 0), grid->textMatrix(r, 1), grid->textMatrix(r, 2),
                                 grid->textMatrix(r, 3)}
                         .join(u'|');
        }
        QCOMPARE(shown, (QStringList{"ニックネーム|時間|金額|", "店長|10:07|30,000|0001", "|0:00|0|0002"}));
        // The ID column carries the key of every line but is not shown.
        QVERIFY(grid->isColumnHidden(3) || grid->columnWidth(3) == 0);

        auto* button = form.findChild<QPushButton*>(names::sheet::exportButton);
        bool disabledDuringWait = false;
        t.pause.during = [&] { disabledDuringWait = !button->isEnabled(); };
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(disabledDuringWait && button->isEnabled());
        QCOMPARE(t.boxes.errorTexts(), QStringList());
        const FakeSpreadsheet::Cells cells =
            t.spreadsheet.books.value(t.folder.path() + "/出力帳票/勤務表全員_2026年12月.xls");
        QCOMPARE(cells.value({2, 2}).text, QStringLiteral("2026年12月"));
        QCOMPARE(cells.value({5, 3}).text, QStringLiteral("店長"));
        QCOMPARE(cells.value({5, 5}).number, (10 * 60 + 7) / 1440.0);
        QCOMPARE(cells.value({5, 6}).number, 30000.0);
        QCOMPARE(cells.value({6, 5}).number, 0.0);  // the second line
    }
};

QTEST_MAIN(TestForm5)
#include "tst_form5.moc"
