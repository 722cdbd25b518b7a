#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "screentestcontext.h"
#include "sheets/form4.h"
#include "ui/controlnames.h"
#include "ui/grid/grid.h"

using namespace tsumiki;
using namespace tsumiki::test;
namespace n = tsumiki::names::form4;

namespace {
// さくら's sheet of November 2026 at the unit price, opened: a night shift with 同伴 on the 1st (a Sunday), a
// clock-in without clock-out on the 2nd, and the last night of the month running into December. Pay is counted in
// units of 30 minutes; the template is a file on disk (the fake does not read it), the password is left unset.
struct Sheet {
    explicit Sheet(const QString& price) {
        t.folder.writeEmptyTables();
        t.folder.writeSettings("05:00", "30");
        QDir(t.folder.path()).mkpath("excelテンプレート");
        QFile(t.folder.path() + "/excelテンプレート/勤務表個人.xls").open(QIODevice::WriteOnly);
        t.folder.writeTable(Table::User, {"ID,USERNAME,KENGEN,TANKA", "\"0002\",\"さくら\",\"\"," + price});
        t.folder.writeClockRows({clockRow("0002", "2026/11/01 5:00:00", "2026/11/01 20:00", "1", "1"),
                                 clockRow("0002", "2026/11/01 5:00:00", "2026/11/02 02:00", "2"),
                                 clockRow("0002", "2026/11/02 5:00:00", "2026/11/02 19:00", "1", "0"),
                                 clockRow("0002", "2026/11/30 5:00:00", "2026/11/30 21:00", "1", "0"),
                                 clockRow("0002", "2026/11/30 5:00:00", "2026/12/01 01:15", "2")});
        form.setTargetUserId("0002");
        form.setTargetUserName("さくら");
        form.setSheetYear("2026");
        form.setSheetMonth("11");
        form.show();
    }
    QString label(QLatin1String name) const { return form.findChild<QLabel*>(name)->text(); }
    QLineEdit* price() const { return form.findChild<QLineEdit*>(n::unitPriceBox); }
    Grid* grid() const { return form.findChild<Grid*>(names::sheet::grid); }
    QString cells(int r) const {
        QStringList out;
        for (int c = 0; c < grid()->cols(); ++c) {
            out << grid()->textMatrix(r, c);
        }
        return out.join(u'|');
    }
    ScreenTestContext t;
    Form4 form{t.context};
};
}  // namespace

class TestForm4 : public QObject {
    Q_OBJECT
private slots:
    void monthGrid() {
        Sheet s("1000");
        QCOMPARE(s.grid()->rows(), 31);
        QCOMPARE(s.cells(0), "日||開始||終了|勤務時間|同伴");
        QCOMPARE(s.cells(1), "1|日|20:00|～|02:00|06:00|○");
        QCOMPARE(s.cells(2), "2|月|19:00|～|||");
        QCOMPARE(s.cells(3), "3|火||～|||");
        QCOMPARE(s.cells(30), "30|月|21:00|～|01:15|04:15|");
        for (int c = 0; c < 7; ++c) {
            QCOMPARE(s.grid()->cellBackColor(1, c), QColor(255, 192, 255));  // Sunday
            QCOMPARE(s.grid()->cellBackColor(7, c), QColor(192, 255, 255));  // Saturday
            QCOMPARE(s.grid()->cellBackColor(2, c), QColor());
        }
        QCOMPARE(s.label(n::nickname) + ' ' + s.label(names::sheet::month), "さくら 2026年11月");
        QCOMPARE(s.label(n::total) + ' ' + s.label(n::totalCopy), "10:15 10:15");
    }

    // The stored price goes into the box without separators, even past five digits; 10:15 is 20 whole units of 30
    // minutes. Which typed texts are prices is the sheet content's rule; here, the screen's answer to each kind.
    void priceAndAmount() {
        const char* const rows[][4] = {{"123456", nullptr, "1,234,560", ""},
                                       {"", nullptr, "0", ""},
                                       {"1000", "150.5", "1,505", ""},  // a fraction computes as it is
                                       {"1000", "", "0", "単価に値を入力してください。"},
                                       {"1000", "1.2.3", "0", "値には数値以外の値を入力しないでください。"}};
        for (const auto& [stored, typed, amount, message] : rows) {
            Sheet s(stored);
            QCOMPARE(s.price()->text(), *stored ? stored : "0");
            if (typed) {
                s.price()->clear();
                QTest::keyClicks(s.price(), typed);
                QTest::mouseClick(s.form.findChild<QPushButton*>(n::recalculateButton), Qt::LeftButton);
            }
            QCOMPARE(s.label(n::amount), amount);
            QCOMPARE(s.t.boxes.errorTexts(), *message ? QStringList{message} : QStringList());
            QCOMPARE(s.t.boxes.beeps, 0);
        }
    }

    // A missing template and a workbook in use are the export's own test's, against the real office.
    void exportWritesWhatTheScreenShows() {
        for (const auto& [step, message] :
             {std::pair{"", ""},
              {"open", "Excel出力に失敗しました。\nopen failed"},
              {"write", "Excel出力に失敗しました。ブックは保存していません。\nwrite failed"},
              {"save", "Excel出力に失敗しました。ブックは保存していません。\nsave failed"}}) {
            Sheet s(QStringLiteral("1000"));
            s.t.spreadsheet.failStep = step;
            auto* button = s.form.findChild<QPushButton*>(names::sheet::exportButton);
            s.price()->setText("1500");  // typed, not recalculated
            bool disabledDuringWait = false;
            s.t.pause.during = [&] { disabledDuringWait = !button->isEnabled(); };
            QTest::mouseClick(button, Qt::LeftButton);
            QVERIFY(button->isEnabled());
            QCOMPARE(s.t.boxes.errorTexts(), *message ? QStringList{message} : QStringList());
            if (*message) {
                QVERIFY(s.t.spreadsheet.books.isEmpty() && !s.t.spreadsheet.log.contains("show"));  // nothing saved
                continue;
            }
            QVERIFY(disabledDuringWait);
            const QString output = "勤務表個人_さくら_2026年11月.xls";
            QCOMPARE(s.t.spreadsheet.log, (QStringList{"open 勤務表個人.xls ", "save " + output + " ", "show"}));
            // The grid's columns 0, 1, 2, 4 and 6 as shown, the person's ID, and the price as typed.
            const FakeSpreadsheet::Cells cells = s.t.spreadsheet.books.value(s.t.folder.path() + "/出力帳票/" + output);
            QCOMPARE(cells.value({7, 2}).number, 1.0);
            QCOMPARE(cells.value({7, 3}).text, QStringLiteral("日"));
            QCOMPARE(cells.value({7, 4}).number, 20.0 / 24);
            QCOMPARE(cells.value({7, 6}).number, 26.0 / 24);
            QCOMPARE(cells.value({7, 9}).text, QStringLiteral("○"));
            QCOMPARE(cells.value({2, 5}).text, QStringLiteral("0002"));
            QCOMPARE(cells.value({43, 4}).number, 1500.0);
            QCOMPARE(cells.value({44, 6}).number, 30.0);
        }
    }
};

QTEST_MAIN(TestForm4)
#include "tst_form4.moc"
