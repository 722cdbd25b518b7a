#include <QTest>

#include "attendance/businessdate.h"
#include "attendance/datetext.h"
#include "testsupport.h"

using namespace tsumiki;
using namespace tsumiki::test;

namespace {
// A CODE1 value as the store gives it: an empty field is Null.
Value code1(const char* text) {
    return text && *text ? Value(QString::fromUtf8(text)) : Value();
}
QDateTime at(const char* text) {
    return QDateTime::fromString(QString::fromUtf8(text), QStringLiteral("yyyy/MM/dd HH:mm:ss"));
}
}  // namespace

class TestBusinessDate : public QObject {
    Q_OBJECT
private slots:
    void businessDate_data();
    void businessDate();
    void roundingMinutes_data();
    void roundingMinutes();
    void clockMoment_data();
    void clockMoment();
    void settingsFromTheControlTable();
    void storedForms();
};

void TestBusinessDate::businessDate_data() {
    QTest::addColumn<Value>("dayChange");  // CODE1 of CTL0003
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QString>("expected");
    auto row = [](const char* name, const char* dayChange, const char* now, const char* expected) {
        QTest::newRow(name) << code1(dayChange) << at(now) << QString::fromUtf8(expected);
    };
    row("05:00, before", "05:00", "2026/12/06 04:59:59", "2026/12/05 05:00");
    row("05:00, the minute itself", "05:00", "2026/12/06 05:00:30", "2026/12/05 05:00");
    row("05:00, after", "05:00", "2026/12/06 05:01:00", "2026/12/06 05:00");
    row("none, first minute after midnight", "", "2026/12/06 00:00:30", "2026/12/05 00:00");
    row("none, 00:01", "", "2026/12/06 00:01:00", "2026/12/06 00:00");
    row("year boundary", "", "2027/01/01 00:00:30", "2026/12/31 00:00");
    row("month boundary", "05:00", "2026/12/01 03:00:00", "2026/11/30 05:00");
    row("one-digit hour sorts after every time", "5:00", "2026/12/06 23:59:00", "2026/12/05 05:00");
    row("letters fall back to 00:00", "abc", "2026/12/06 00:01:00", "2026/12/06 00:00");
    row("24:00 falls back", "24:00", "2026/12/06 12:00:00", "2026/12/06 00:00");
    row("seconds are not a day-change time", "05:00:00", "2026/12/06 12:00:00", "2026/12/06 00:00");
}

void TestBusinessDate::businessDate() {
    QFETCH(Value, dayChange);
    QFETCH(QDateTime, now);
    QFETCH(QString, expected);
    QCOMPARE(BusinessDateAt(now, DayChangeTimeFrom(dayChange)).toString(QStringLiteral("yyyy/MM/dd HH:mm")), expected);
}

void TestBusinessDate::roundingMinutes_data() {
    QTest::addColumn<Value>("unit");  // CODE1 of CTL0004
    QTest::addColumn<int>("minutes");
    const std::pair<const char*, int> rows[] = {{"", 15},    {"30", 30},  {" 30 ", 30}, {"7.9", 7}, {"60", 60},
                                                {"abc", 15}, {"0.5", 15}, {"-5", 15},   {"90", 15}, {"100000", 15}};
    for (const auto& [text, minutes] : rows) {
        QTest::addRow("'%s'", text) << code1(text) << minutes;
    }
}

void TestBusinessDate::roundingMinutes() {
    QFETCH(Value, unit);
    QFETCH(int, minutes);
    QCOMPARE(int(RoundingMinutesFrom(unit)), minutes);
}

void TestBusinessDate::clockMoment_data() {
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<int>("unit");
    QTest::addColumn<ClockKind>("kind");
    QTest::addColumn<QString>("recorded");
    auto row = [](const char* now, int unit, ClockKind kind, const char* recorded) {
        QTest::addRow("%s %s unit %d", kind == ClockKind::In ? "in" : "out", now, unit)
            << at(now) << unit << kind << QString::fromUtf8(recorded);
    };
    const auto in = ClockKind::In;
    const auto out = ClockKind::Out;
    row("2026/12/05 09:00:59", 15, in, "2026/12/05 09:00");  // seconds dropped, on the grid already
    row("2026/12/05 09:01:00", 15, in, "2026/12/05 09:15");
    row("2026/12/05 09:46:00", 15, in, "2026/12/05 10:00");  // the minutes carry into the hour
    row("2026/12/05 23:50:10", 15, in, "2026/12/06 00:00");  // past midnight: the next day
    row("2026/12/05 17:59:00", 15, out, "2026/12/05 17:45");
    row("2026/12/05 18:15:00", 15, out, "2026/12/05 18:15");
    row("2026/12/06 00:10:00", 15, out, "2026/12/06 00:00");
    row("2026/12/05 09:01:00", 60, in, "2026/12/05 10:00");
    row("2026/12/05 09:59:00", 60, out, "2026/12/05 09:00");
    row("2026/12/05 09:07:00", 1, in, "2026/12/05 09:07");
    row("2026/12/05 09:58:00", 7, in, "2026/12/05 10:03");  // 9 × 7 = 63 minutes keep the excess
    row("2026/12/05 09:07:00", 0, in, "2026/12/05 09:15");  // unusable units count as 15
    row("2026/12/05 09:07:00", -5, out, "2026/12/05 09:00");
    row("2026/12/05 09:50:00", 90, in, "2026/12/05 10:00");
}

void TestBusinessDate::clockMoment() {
    QFETCH(QDateTime, now);
    QFETCH(int, unit);
    QFETCH(ClockKind, kind);
    QFETCH(QString, recorded);
    QCOMPARE(ClockMoment(now, unit, kind).toString(QStringLiteral("yyyy/MM/dd HH:mm")), recorded);
    QCOMPARE(RoundClockTime(now.time(), unit, kind).toString(QStringLiteral("yyyy/MM/dd HH:mm")).right(5),
             recorded.right(5));
}

void TestBusinessDate::settingsFromTheControlTable() {
    TempAppFolder folder;
    folder.writeTable(Table::Control, {"CTLCODE,CODE1,CODE2,CODE3,COMMENT", "CTL0003,03:00,,,", "CTL0004,30,,,",
                                       "CTL0003,06:00,,,", "CTL0004,,,,"});
    const TableStore store(folder.path());
    FakeClock clock(at("2026/12/06 05:00:00"));
    // The later row wins, an empty one too.
    QCOMPARE(GetBusinessDate(store, clock), QDateTime(QDate(2026, 12, 5), QTime(6, 0)));
    QCOMPARE(GetRoundingMinutes(store), qint16(15));
    folder.writeTable(Table::Control, {"CTLCODE,CODE1,CODE2,CODE3,COMMENT"});
    QCOMPARE(GetBusinessDate(store, clock), QDateTime(QDate(2026, 12, 6), QTime(0, 0)));
}

void TestBusinessDate::storedForms() {
    QCOMPARE(InputTimeText(QDateTime(QDate(2026, 12, 5), QTime(0, 0))), QStringLiteral("2026/12/05"));
    QCOMPARE(InputTimeText(QDateTime(QDate(2026, 12, 5), QTime(5, 0))), QStringLiteral("2026/12/05 5:00:00"));
    QCOMPARE(InputTimeText(QDateTime(QDate(2026, 1, 9), QTime(10, 30))), QStringLiteral("2026/01/09 10:30:00"));
    const auto parsed = [](const char* text) {
        const auto t = ParseDateTimeText(QString::fromUtf8(text));
        return t ? t->toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")) : QStringLiteral("none");
    };
    QCOMPARE(parsed("2026/12/05 5:00:00"), QStringLiteral("2026/12/05 05:00:00"));
    QCOMPARE(parsed("2009/5/1"), QStringLiteral("2009/05/01 00:00:00"));
    QCOMPARE(parsed("9:15"), QStringLiteral("1899/12/30 09:15:00"));
    for (const char* impossible : {"2009/02/30", "2009/05/01 25:00", "today", "2009/05/01 09:00x", ""}) {
        QCOMPARE(parsed(impossible), QStringLiteral("none"));
    }
}

QTEST_APPLESS_MAIN(TestBusinessDate)
#include "tst_businessdate.moc"
