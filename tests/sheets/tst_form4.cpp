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
    void unitPriceAndAmount_data();
    void unitPriceAndAmount();
    void recalculation_data();
    void recalculation();
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

void TestForm4::unitPriceAndAmount_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("amount");
    // 10:15 is 41 units of 15 minutes.
    QTest::newRow("five digits, no separator typed back") << "10000"
                                                          << "102,500";
    QTest::newRow("longer than the box's five characters") << "123456"
                                                           << "1,265,424";
    QTest::newRow("no price") << ""
                              << "0";
}

void TestForm4::unitPriceAndAmount() {
    QFETCH(QString, stored);
    QFETCH(QString, amount);
    Sheet s(stored);
    QCOMPARE(s.price()->text(), stored.isEmpty() ? "0" : stored);
    QCOMPARE(s.label(n::amount), amount);
    QCOMPARE(s.t.boxes.beeps, 0);
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

QTEST_MAIN(TestForm4)
#include "tst_form4.moc"
