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
    void showsAndExportsTheList() {
        ScreenTestContext t;
        t.folder.writeEmptyTables();
        t.folder.writeTable(Table::User,
                            {"ID,USERNAME,KENGEN,TANKA", "\"0002\",\"さくら\",\"\",1000", "\"\",\"IDなし\",\"\",500",
                             "\"0003\",\"さくら\",\"\",", "\"0004\",\"\",\"\",900"});
        t.folder.writeClockRows({clockRow("0002", "2026/12/05 5:00:00", "2026/12/05 20:00", "1", "0"),
                                 clockRow("0002", "2026/12/05 5:00:00", "2026/12/06 06:07", "2"),
                                 clockRow("0003", "2026/12/05 5:00:00", "2026/12/05 20:00", "1", "0"),
                                 clockRow("0003", "2026/12/05 5:00:00", "2026/12/05 23:00", "2")});
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
        // File order; the row without ID is left out; two users of the same name are computed apart; a user
        // without a unit price earns 0.
        QCOMPARE(shown, (QStringList{"ニックネーム|時間|金額|", "さくら|10:07|10,000|0002", "さくら|3:00|0|0003",
                                     "|0:00|0|0004"}));
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
        QCOMPARE(cells.value({5, 3}).text, QStringLiteral("さくら"));
        QCOMPARE(cells.value({5, 5}).number, (10 * 60 + 7) / 1440.0);
        QCOMPARE(cells.value({5, 6}).number, 10000.0);
        QCOMPARE(cells.value({6, 5}).number, 3 / 24.0);  // the second line
    }
};

QTEST_MAIN(TestForm5)
#include "tst_form5.moc"
