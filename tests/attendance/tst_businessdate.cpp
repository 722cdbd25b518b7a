#include <QTest>

#include "attendance/businessdate.h"
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
    void businessDate() {
        // CODE1 of CTL0003, the moment, its business date.
        const char* rows[][3] = {
            {"05:00", "2026/12/06 05:00:30", "2026/12/05 05:00"},  // the minute itself is still the day before
            {"05:00", "2026/12/06 05:01:00", "2026/12/06 05:00"},
            {"5:00", "2026/12/06 23:59:00", "2026/12/05 05:00"},  // a one-digit hour sorts after every time
            {"abc", "2026/12/06 00:01:00", "2026/12/06 00:00"},   // no time of day: 00:00
            {"24:00", "2026/12/06 12:00:00", "2026/12/06 00:00"},
            {"05:00:00", "2026/12/06 12:00:00", "2026/12/06 00:00"},
        };
        for (const auto& r : rows) {
            QCOMPARE(minutes(BusinessDateAt(at(r[1]), DayChangeTimeFrom(code1(r[0])))), r[2]);
        }
    }

    void roundingMinutes() {
        const std::pair<const char*, int> rows[] = {{"", 15},    {"30", 30},  {" 30 ", 30}, {"7.9", 7}, {"60", 60},
                                                    {"abc", 15}, {"0.5", 15}, {"-5", 15},   {"90", 15}, {"100000", 15}};
        for (const auto& [text, unit] : rows) {
            QCOMPARE(int(RoundingMinutesFrom(code1(text))), unit);
        }
    }

    // At every minute of a day, for each kind and unit, the moment recorded lies on the unit's grid counted from
    // the start of the hour, no earlier than now for a clock-in and no later for a clock-out, less than a unit away.
    // Units outside 1 to 60 count as 15.
    void clockMomentIsTheNearestGridMinute() {
        const QDateTime day(QDate(2026, 12, 5), QTime(0, 0));
        for (const auto& [unit, grid] : {std::pair{1, 1}, {7, 7}, {15, 15}, {60, 60}, {0, 15}, {61, 15}}) {
            for (int minute = 0; minute < 24 * 60; ++minute) {
                const QDateTime now = day.addSecs(minute * 60 + 59);  // the seconds are dropped
                for (ClockKind kind : {ClockKind::In, ClockKind::Out}) {
                    const QDateTime moment = ClockMoment(now, unit, kind);
                    const qint64 ahead = day.secsTo(moment) / 60 - minute;
                    const bool near = kind == ClockKind::In ? ahead >= 0 && ahead < grid : ahead <= 0 && ahead > -grid;
                    QVERIFY2(near && (minute % 60 + ahead) % grid == 0,
                             qPrintable(QString("unit %1: %2 gives %3").arg(unit).arg(minutes(now), minutes(moment))));
                }
            }
        }
    }

    void settingsFromTheControlTable() {
        TempAppFolder folder;
        folder.writeTable(Table::Control, {"CTLCODE,CODE1,CODE2,CODE3,COMMENT", "CTL0003,03:00,,,", "CTL0004,30,,,",
                                           "CTL0003,06:00,,,", "CTL0004,,,,"});
        const TableStore store(folder.path());
        const FakeClock clock(at("2026/12/06 05:00:00"));
        // The later row wins, an empty one too.
        QCOMPARE(minutes(GetBusinessDate(store, clock)), "2026/12/05 06:00");
        QCOMPARE(GetRoundingMinutes(store), qint16(15));
    }
};

QTEST_APPLESS_MAIN(TestBusinessDate)
#include "tst_businessdate.moc"
