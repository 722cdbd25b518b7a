#include <QTest>

#include "attendance/businessdate.h"
#include "attendance/datetext.h"
#include "testsupport.h"

using namespace tsumiki;
using namespace tsumiki::test;

namespace {
// A control table with the given CTL0003 and CTL0004 rows ("<none>" leaves the row out).
void writeControls(const TempAppFolder& folder, const QStringList& dayChange, const QStringList& unit) {
    QStringList lines{QStringLiteral("CTLCODE,CODE1,CODE2,CODE3,COMMENT")};
    for (const QString& v : dayChange) {
        lines << QStringLiteral("\"CTL0003\",\"%1\",\"\",\"\",\"\"").arg(v);
    }
    for (const QString& v : unit) {
        lines << QStringLiteral("\"CTL0004\",\"%1\",\"\",\"\",\"\"").arg(v);
    }
    folder.writeTable(Table::Control, lines);
}
}  // namespace

class TestBusinessDate : public QObject {
    Q_OBJECT
private slots:
    void businessDate_data();
    void businessDate();
    void roundingMinutes_data();
    void roundingMinutes();
    void roundClockTime_data();
    void roundClockTime();
    void inputTimeText_data();
    void inputTimeText();
    void parseDateTimeText_data();
    void parseDateTimeText();
};

void TestBusinessDate::businessDate_data() {
    QTest::addColumn<QStringList>("dayChange");
    QTest::addColumn<QString>("now");
    QTest::addColumn<QString>("expected");
    const QStringList five{"05:00"};
    QTest::newRow("05:00, before") << five << "2026/12/06 04:59:59"
                                   << "2026/12/05 05:00";
    QTest::newRow("05:00, the minute itself") << five << "2026/12/06 05:00:30"
                                              << "2026/12/05 05:00";
    QTest::newRow("05:00, after") << five << "2026/12/06 05:01:00"
                                  << "2026/12/06 05:00";
    QTest::newRow("no row, first minute after midnight") << QStringList{} << "2026/12/06 00:00:30"
                                                         << "2026/12/05 00:00";
    QTest::newRow("no row, 00:01") << QStringList{} << "2026/12/06 00:01:00"
                                   << "2026/12/06 00:00";
    QTest::newRow("empty value") << QStringList{""} << "2026/12/06 00:01:00"
                                 << "2026/12/06 00:00";
    QTest::newRow("year boundary") << QStringList{} << "2027/01/01 00:00:30"
                                   << "2026/12/31 00:00";
    QTest::newRow("month boundary with 05:00") << five << "2026/12/01 03:00:00"
                                               << "2026/11/30 05:00";
    QTest::newRow("the later of two rows") << QStringList{"03:00", "06:00"} << "2026/12/06 05:00:00"
                                           << "2026/12/05 06:00";
    QTest::newRow("one-digit hour sorts after every time") << QStringList{"5:00"} << "2026/12/06 23:59:00"
                                                           << "2026/12/05 05:00";
    QTest::newRow("letters fall back to 00:00") << QStringList{"abc"} << "2026/12/06 00:01:00"
                                                << "2026/12/06 00:00";
    QTest::newRow("24:00 falls back") << QStringList{"24:00"} << "2026/12/06 12:00:00"
                                      << "2026/12/06 00:00";
    QTest::newRow("minutes 60 fall back") << QStringList{"05:60"} << "2026/12/06 12:00:00"
                                          << "2026/12/06 00:00";
    QTest::newRow("seconds are not a day-change time") << QStringList{"05:00:00"} << "2026/12/06 12:00:00"
                                                       << "2026/12/06 00:00";
}

void TestBusinessDate::businessDate() {
    QFETCH(QStringList, dayChange);
    QFETCH(QString, now);
    QFETCH(QString, expected);
    TempAppFolder folder;
    writeControls(folder, dayChange, {});
    FakeClock clock;
    clock.set(now);
    const QDateTime business = GetBusinessDate(TableStore(folder.path()), clock);
    QCOMPARE(business.toString(QStringLiteral("yyyy/MM/dd HH:mm")), expected);
}

void TestBusinessDate::roundingMinutes_data() {
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<int>("minutes");
    QTest::newRow("no row") << QStringList{} << 15;
    QTest::newRow("empty") << QStringList{""} << 15;
    QTest::newRow("30") << QStringList{"30"} << 30;
    QTest::newRow("blanks around") << QStringList{" 30 "} << 30;
    QTest::newRow("7.9 rounds down") << QStringList{"7.9"} << 7;
    QTest::newRow("last row wins") << QStringList{"30", "10"} << 10;
    QTest::newRow("a later empty row means 15") << QStringList{"30", ""} << 15;
    QTest::newRow("1 and 60 are the bounds") << QStringList{"60"} << 60;
    QTest::newRow("letters") << QStringList{"abc"} << 15;
    QTest::newRow("zero") << QStringList{"0"} << 15;
    QTest::newRow("below one after rounding down") << QStringList{"0.5"} << 15;
    QTest::newRow("negative") << QStringList{"-5"} << 15;
    QTest::newRow("over an hour") << QStringList{"90"} << 15;
    QTest::newRow("beyond 16 bits") << QStringList{"100000"} << 15;
}

void TestBusinessDate::roundingMinutes() {
    QFETCH(QStringList, values);
    QFETCH(int, minutes);
    TempAppFolder folder;
    writeControls(folder, {}, values);
    QCOMPARE(int(GetRoundingMinutes(TableStore(folder.path()))), minutes);
}

void TestBusinessDate::roundClockTime_data() {
    QTest::addColumn<QString>("time");
    QTest::addColumn<int>("unit");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("rounded");
    QTest::newRow("in 09:00") << "09:00:00" << 15 << "1"
                              << "09:00";
    QTest::newRow("in 09:00:59, seconds dropped") << "09:00:59" << 15 << "1"
                                                  << "09:00";
    QTest::newRow("in 09:01") << "09:01:00" << 15 << "1"
                              << "09:15";
    QTest::newRow("in 09:07") << "09:07:00" << 15 << "1"
                              << "09:15";
    QTest::newRow("in 09:46 carries") << "09:46:00" << 15 << "1"
                                      << "10:00";
    QTest::newRow("in 23:50 wraps") << "23:50:00" << 15 << "1"
                                    << "00:00";
    QTest::newRow("out 17:59") << "17:59:00" << 15 << "2"
                               << "17:45";
    QTest::newRow("out 18:14") << "18:14:00" << 15 << "2"
                               << "18:00";
    QTest::newRow("out 18:15") << "18:15:00" << 15 << "2"
                               << "18:15";
    QTest::newRow("unit 60 in") << "09:01:00" << 60 << "1"
                                << "10:00";
    QTest::newRow("unit 60 out") << "09:59:00" << 60 << "2"
                                 << "09:00";
    QTest::newRow("unit 1") << "09:07:00" << 1 << "1"
                            << "09:07";
    QTest::newRow("unit 7 keeps the excess") << "09:58:00" << 7 << "1"
                                             << "10:03";
    QTest::newRow("other kind") << "09:07:00" << 15 << "3"
                                << "00:00";
    QTest::newRow("empty kind") << "09:07:00" << 15 << ""
                                << "00:00";
    QTest::newRow("unit 0 counts as 15") << "09:07:00" << 0 << "1"
                                         << "09:15";
    QTest::newRow("negative unit counts as 15") << "09:07:00" << -5 << "2"
                                                << "09:00";
    QTest::newRow("unit 90 counts as 15") << "09:50:00" << 90 << "1"
                                          << "10:00";
}

void TestBusinessDate::roundClockTime() {
    QFETCH(QString, time);
    QFETCH(int, unit);
    QFETCH(QString, kind);
    QFETCH(QString, rounded);
    const QTime t = QTime::fromString(time, QStringLiteral("HH:mm:ss"));
    QCOMPARE(RoundClockTime(t, unit, kind).toString(QStringLiteral("HH:mm")), rounded);
}

void TestBusinessDate::inputTimeText_data() {
    QTest::addColumn<QDateTime>("business");
    QTest::addColumn<QString>("text");
    QTest::newRow("midnight: date alone") << QDateTime(QDate(2026, 12, 5), QTime(0, 0)) << "2026/12/05";
    QTest::newRow("05:00: one-digit hour and seconds")
        << QDateTime(QDate(2026, 12, 5), QTime(5, 0)) << "2026/12/05 5:00:00";
    QTest::newRow("two-digit hour") << QDateTime(QDate(2026, 1, 9), QTime(10, 30)) << "2026/01/09 10:30:00";
}

void TestBusinessDate::inputTimeText() {
    QFETCH(QDateTime, business);
    QFETCH(QString, text);
    QCOMPARE(InputTimeText(business), text);
}

void TestBusinessDate::parseDateTimeText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("parsed");  // yyyy/MM/dd HH:mm:ss, or empty for nothing
    QTest::newRow("stored business date") << "2026/12/05 5:00:00"
                                          << "2026/12/05 05:00:00";
    QTest::newRow("stored clock time") << "2026/12/06 02:30"
                                       << "2026/12/06 02:30:00";
    QTest::newRow("date alone") << "2009/05/01"
                                << "2009/05/01 00:00:00";
    QTest::newRow("short spelling") << "2009/5/1"
                                    << "2009/05/01 00:00:00";
    QTest::newRow("time alone") << "9:15"
                                << "1899/12/30 09:15:00";
    QTest::newRow("leap day") << "2028/02/29"
                              << "2028/02/29 00:00:00";
    QTest::newRow("impossible date") << "2009/02/30"
                                     << "";
    QTest::newRow("impossible time") << "2009/05/01 25:00"
                                     << "";
    QTest::newRow("letters") << "today"
                             << "";
    QTest::newRow("trailing garbage") << "2009/05/01 09:00x"
                                      << "";
    QTest::newRow("empty") << ""
                           << "";
}

void TestBusinessDate::parseDateTimeText() {
    QFETCH(QString, text);
    QFETCH(QString, parsed);
    const auto result = ParseDateTimeText(text);
    QCOMPARE(result ? result->toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")) : QString(), parsed);
}

QTEST_APPLESS_MAIN(TestBusinessDate)
#include "tst_businessdate.moc"
