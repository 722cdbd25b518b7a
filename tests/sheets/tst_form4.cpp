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
QString row(const QString& input, const QString& print, const QString& st, const QString& douhan = QString()) {
    return clockRow("0002", input, print, st, douhan);
}

// さくら's sheet of November 2026 at the unit price, opened: a night shift with 同伴 on the 1st (a Sunday), a
// clock-in without clock-out on the 2nd, and the last night of the month running into December.
struct Sheet {
    explicit Sheet(const QString& price) {
        t.folder.writeEmptyTables();
        t.folder.writeSettings("05:00", "15");
        t.folder.writeTable(Table::User, {"ID,USERNAME,KENGEN,TANKA", "\"0002\",\"さくら\",\"\"," + price});
        t.folder.writeClockRows({row("2026/11/01 5:00:00", "2026/11/01 20:00", "1", "1"),
                                 row("2026/11/01 5:00:00", "2026/11/02 02:00", "2"),
                                 row("2026/11/02 5:00:00", "2026/11/02 19:00", "1", "0"),
                                 row("2026/11/30 5:00:00", "2026/11/30 21:00", "1", "0"),
                                 row("2026/11/30 5:00:00", "2026/12/01 01:15", "2")});
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
    void monthGrid();
    void unitPriceAndAmount();
    void recalculation_data();
    void recalculation();
    void exportWritesWhatTheScreenShows();
    void exportFailures_data();
    void exportFailures();
};

void TestForm4::monthGrid() {
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

void TestForm4::unitPriceAndAmount() {
    // 10:15 is 41 units of 15 minutes; the price goes into the box without separators, even past five digits.
    for (const auto& [stored, amount] : {std::pair{"10000", "102,500"}, {"123456", "1,265,424"}, {"", "0"}}) {
        Sheet s(stored);
        QCOMPARE(s.price()->text(), *stored ? stored : "0");
        QCOMPARE(s.label(n::amount), amount);
        QCOMPARE(s.t.boxes.beeps, 0);
    }
}

void TestForm4::recalculation_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("message");
    const QString notANumber = "値には数値以外の値を入力しないでください。";
    QTest::newRow("new price") << "2000"
                               << "20,500" << QString();
    QTest::newRow("a fraction computes as it is") << "150.5"
                                                  << "1,543" << QString();
    QTest::newRow("empty") << QString() << "0"
                           << "単価に値を入力してください。";
    QTest::newRow("two full stops") << "1.2.3"
                                    << "0" << notANumber;
    QTest::newRow("minus alone") << "-"
                                 << "0" << notANumber;
}

void TestForm4::recalculation() {
    QFETCH(QString, typed);
    QFETCH(QString, amount);
    QFETCH(QString, message);
    Sheet s("1000");
    s.price()->clear();
    QTest::keyClicks(s.price(), typed);
    QCOMPARE(s.price()->text(), typed);
    QTest::mouseClick(s.form.findChild<QPushButton*>(n::recalculateButton), Qt::LeftButton);
    QCOMPARE(s.label(n::amount), amount);
    QCOMPARE(s.t.boxes.shown.size(), message.isEmpty() ? 0 : 1);
    if (!message.isEmpty()) {
        QCOMPARE(s.t.boxes.shown[0].text, message);
        QCOMPARE(s.t.boxes.shown[0].title, "エラー");
    }
}

namespace {
// The template as a file on disk (the fake does not read it) and the workbook password.
void prepareExport(ScreenTestContext& t) {
    QDir(t.folder.path()).mkpath("excelテンプレート");
    QFile(t.folder.path() + "/excelテンプレート/勤務表個人.xls").open(QIODevice::WriteOnly);
    t.folder.writeTable(Table::Control, {"CTLCODE,CODE1,CODE2,CODE3,COMMENT", "\"CTL0003\",\"05:00\",,,",
                                         "\"CTL0004\",\"30\",,,", "\"CTL0005\",\"secret\",,,"});
}
}  // namespace

void TestForm4::exportWritesWhatTheScreenShows() {
    Sheet s(QStringLiteral("1000"));
    prepareExport(s.t);
    auto* button = s.form.findChild<QPushButton*>(names::sheet::exportButton);
    QVERIFY(button->isEnabled());
    s.price()->setText("1500");  // typed, not recalculated
    bool disabledDuringWait = false;
    s.t.pause.during = [&] { disabledDuringWait = !button->isEnabled(); };
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(disabledDuringWait);
    QVERIFY(button->isEnabled());
    QVERIFY(s.t.boxes.shown.isEmpty());
    const QString output = s.t.folder.path() + "/出力帳票/勤務表個人_さくら_2026年11月.xls";
    QCOMPARE(s.t.spreadsheet.log,
             (QStringList{"open 勤務表個人.xls ", "save 勤務表個人_さくら_2026年11月.xls secret", "show"}));
    // The grid's columns 0, 1, 2, 4 and 6 as shown, and the price as typed.
    const FakeSpreadsheet::Book book = s.t.spreadsheet.books.value(output);
    const auto cell = [&](int r, int c) { return book.cells.value({r, c}); };
    QCOMPARE(cell(7, 2).number, 1.0);
    QCOMPARE(cell(7, 3).text, QStringLiteral("日"));
    QCOMPARE(cell(7, 4).number, 20.0 / 24);
    QCOMPARE(cell(7, 6).number, 26.0 / 24);
    QCOMPARE(cell(7, 9).text, QStringLiteral("○"));
    QCOMPARE(cell(3, 5).text, QStringLiteral("さくら"));
    QCOMPARE(cell(43, 4).number, 1500.0);
    QCOMPARE(cell(44, 6).number, 30.0);
}

void TestForm4::exportFailures_data() {
    QTest::addColumn<QString>("failStep");
    QTest::addColumn<bool>("outputInUse");
    QTest::addColumn<bool>("templatePresent");
    QTest::addColumn<QString>("message");
    QTest::newRow("no template") << "" << false << false << "テンプレートファイルが見つかりません。";
    QTest::newRow("in use") << "" << true << true << "ファイルは使用中です。ファイルを終了してください。";
    QTest::newRow("cannot open") << "open" << false << true << "Excel出力に失敗しました。\nopen failed";
    QTest::newRow("cannot write") << "write" << false << true
                                  << "Excel出力に失敗しました。ブックは保存していません。\nwrite failed";
    QTest::newRow("cannot save") << "save" << false << true
                                 << "Excel出力に失敗しました。ブックは保存していません。\nsave failed";
}

void TestForm4::exportFailures() {
    QFETCH(QString, failStep);
    QFETCH(bool, outputInUse);
    QFETCH(bool, templatePresent);
    QFETCH(QString, message);
    Sheet s(QStringLiteral("1000"));
    if (templatePresent) {
        prepareExport(s.t);
    }
    const QString output = s.t.folder.path() + "/出力帳票/勤務表個人_さくら_2026年11月.xls";
    if (outputInUse) {
        QDir(s.t.folder.path()).mkpath("出力帳票");
        QFile(output).open(QIODevice::WriteOnly);
        s.t.spreadsheet.inUse.insert(output);
    }
    s.t.spreadsheet.failStep = failStep;
    auto* button = s.form.findChild<QPushButton*>(names::sheet::exportButton);
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(s.t.boxes.shown.size(), 1);
    QCOMPARE(s.t.boxes.shown[0].title, QStringLiteral("エラー"));
    QCOMPARE(s.t.boxes.shown[0].text, message);
    QVERIFY(!s.t.spreadsheet.log.contains("show"));
    QVERIFY(button->isEnabled());
}

QTEST_MAIN(TestForm4)
#include "tst_form4.moc"
