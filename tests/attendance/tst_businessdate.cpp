#include <QTest>

#include "attendance/businessdate.h"
#include "attendance/datetext.h"
#include "testsupport.h"

using namespace tsumiki;
using namespace tsumiki::test;

namespace {
// A CODE1 value as the store gives it: an empty field is Null.
Value code1(const char* text) {
    return *text ? Value(QString::fromUtf8(text)) : Value();
}
QDateTime at(const char* text) {
    return QDateTime::fromString(QString::fromUtf8(text), "yyyy/MM/dd HH:mm:ss");
}
QString minutes(const QDateTime& t) {
    return t.toString("yyyy/MM/dd HH:mm");
}
}  // namespace

class TestBusinessDate : public QObject {
    Q_OBJECT
private slots:
    void businessDate();
    void roundingMinutes();
    void clockMoment();
    void settingsFromTheControlTable();
    void storedForms();
};

void TestBusinessDate::businessDate() {
    struct Row {
        const char* dayChange;  // CODE1 of CTL0003
        const char* now;
        const char* businessDate;
    };
    const Row rows[] = {
        {"05:00", "2026/12/06 04:59:59", "2026/12/05 05:00"},
        {"05:00", "2026/12/06 05:00:30", "2026/12/05 05:00"},  // the minute itself is still the day before
        {"05:00", "2026/12/06 05:01:00", "2026/12/06 05:00"},
        {"", "2026/12/06 00:00:30", "2026/12/05 00:00"},  // none: 00:00, whose first minute is the day before
        {"", "2026/12/06 00:01:00", "2026/12/06 00:00"},
        {"", "2027/01/01 00:00:30", "2026/12/31 00:00"},
        {"05:00", "2026/12/01 03:00:00", "2026/11/30 05:00"},
        {"5:00", "2026/12/06 23:59:00", "2026/12/05 05:00"},  // a one-digit hour sorts after every time
        {"abc", "2026/12/06 00:01:00", "2026/12/06 00:00"},   // no time of day: 00:00
        {"24:00", "2026/12/06 12:00:00", "2026/12/06 00:00"},
        {"05:00:00", "2026/12/06 12:00:00", "2026/12/06 00:00"},
    };
    for (const Row& r : rows) {
        QCOMPARE(minutes(BusinessDateAt(at(r.now), DayChangeTimeFrom(code1(r.dayChange)))), r.businessDate);
    }
}

void TestBusinessDate::roundingMinutes() {
    const std::pair<const char*, int> rows[] = {{"", 15},    {"30", 30},  {" 30 ", 30}, {"7.9", 7}, {"60", 60},
                                                {"abc", 15}, {"0.5", 15}, {"-5", 15},   {"90", 15}, {"100000", 15}};
    for (const auto& [text, unit] : rows) {
        QCOMPARE(int(RoundingMinutesFrom(code1(text))), unit);
    }
}

void TestBusinessDate::clockMoment() {
    struct Row {
        const char* now;
        int unit;
        ClockKind kind;
        const char* recorded;
    };
    const auto in = ClockKind::In;
    const auto out = ClockKind::Out;
    const Row rows[] = {
        {"2026/12/05 09:00:59", 15, in, "2026/12/05 09:00"},  // seconds dropped, on the grid already
        {"2026/12/05 09:01:00", 15, in, "2026/12/05 09:15"},
        {"2026/12/05 09:46:00", 15, in, "2026/12/05 10:00"},  // the minutes carry into the hour
        {"2026/12/05 23:50:10", 15, in, "2026/12/06 00:00"},  // past midnight: the next day
        {"2026/12/05 17:59:00", 15, out, "2026/12/05 17:45"},
        {"2026/12/05 18:15:00", 15, out, "2026/12/05 18:15"},
        {"2026/12/06 00:10:00", 15, out, "2026/12/06 00:00"},
        {"2026/12/05 09:01:00", 60, in, "2026/12/05 10:00"},
        {"2026/12/05 09:59:00", 60, out, "2026/12/05 09:00"},
        {"2026/12/05 09:07:00", 1, in, "2026/12/05 09:07"},
        {"2026/12/05 09:58:00", 7, in, "2026/12/05 10:03"},  // 9 × 7 = 63 minutes keep the excess
        {"2026/12/05 09:07:00", 0, in, "2026/12/05 09:15"},  // unusable units count as 15
        {"2026/12/05 09:07:00", -5, out, "2026/12/05 09:00"},
        {"2026/12/05 09:50:00", 90, in, "2026/12/05 10:00"},
    };
    for (const Row& r : rows) {
        QCOMPARE(minutes(ClockMoment(at(r.now), r.unit, r.kind)), r.recorded);
        QCOMPARE(RoundClockTime(at(r.now).time(), r.unit, r.kind).toString("HH:mm"), QString(r.recorded).right(5));
    }
}

void TestBusinessDate::settingsFromTheControlTable() {
    TempAppFolder folder;
    folder.writeTable(Table::Control, {"CTLCODE,CODE1,CODE2,CODE3,COMMENT", "CTL0003,03:00,,,", "CTL0004,30,,,",
                                       "CTL0003,06:00,,,", "CTL0004,,,,"});
    const TableStore store(folder.path());
    const FakeClock clock(at("2026/12/06 05:00:00"));
    // The later row wins, an empty one too.
    QCOMPARE(minutes(GetBusinessDate(store, clock)), "2026/12/05 06:00");
    QCOMPARE(GetRoundingMinutes(store), qint16(15));
    folder.writeTable(Table::Control, {"CTLCODE,CODE1,CODE2,CODE3,COMMENT"});
    QCOMPARE(minutes(GetBusinessDate(store, clock)), "2026/12/06 00:00");
}

void TestBusinessDate::storedForms() {
    // The clock-record test sees the forms of 00:00 and 5:00.
    QCOMPARE(InputTimeText(at("2026/01/09 10:30:00")), "2026/01/09 10:30:00");
    const auto parsed = [](const char* text) {
        const auto t = ParseDateTimeText(QString::fromUtf8(text));
        return t ? t->toString("yyyy/MM/dd HH:mm:ss") : "none";
    };
    QCOMPARE(parsed("2026/12/05 5:00:00"), "2026/12/05 05:00:00");
    QCOMPARE(parsed("2009/5/1"), "2009/05/01 00:00:00");
    QCOMPARE(parsed("9:15"), "1899/12/30 09:15:00");
    for (const char* impossible : {"2009/02/30", "2009/05/01 25:00", "today", "2009/05/01 09:00x", ""}) {
        QCOMPARE(parsed(impossible), "none");
    }
}

QTEST_APPLESS_MAIN(TestBusinessDate)
#include "tst_businessdate.moc"
