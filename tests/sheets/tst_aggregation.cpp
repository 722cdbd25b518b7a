#include <QRandomGenerator>
#include <QTest>

#include <ctime>
#include <map>

#include "attendance/datetext.h"
#include "sheets/aggregation.h"
#include "sheets/sheetcontent.h"
#include "testsupport.h"

using namespace tsumiki;
using namespace tsumiki::test;

namespace {
// A clock table of a few dozen rows drawn from values chosen to meet: user IDs equal as numbers but not as text,
// business dates spelt with and without their time and by hand, in the month and on either side of it, two
// clock-ins or none on a day, missing times, unknown kinds.
TablePtr generatedClockTable(quint32 seed) {
    static const char* const users[] = {"7", "07", "8", "店長", ""};
    static const char* const inputTimes[] = {
        "2026/12/05", "2026/12/05 5:00:00", "2026/12/06 5:00:00", "2026/12/31 5:00:00",
        "2026/12/7",  "2026/11/30 5:00:00", "2027/01/01 5:00:00", ""};
    static const char* const kinds[] = {"1", "1", "2", "2", "3", ""};
    static const char* const douhans[] = {"0", "1", ""};
    QRandomGenerator random(seed);
    const auto pick = [&](const auto& from) { return QString::fromUtf8(from[random.bounded(int(std::size(from)))]); };
    QStringList lines{"USERID,INPUTTIME,TIMEPRINT,ST,DOUHAN"};
    const int rows = random.bounded(60);
    for (int r = 0; r < rows; ++r) {
        const QString timePrint = random.bounded(8) == 0 ? QString()
                                                         : QString("2026/12/%1 %2:%3")
                                                               .arg(random.bounded(1, 10), 2, 10, QChar('0'))
                                                               .arg(random.bounded(24), 2, 10, QChar('0'))
                                                               .arg(random.bounded(4) * 15, 2, 10, QChar('0'));
        lines << clockRow(pick(users), pick(inputTimes), timePrint, pick(kinds), pick(douhans));
    }
    return std::make_shared<const ParsedTable>(ParsedTable::parseText(lines.join("\r\n") + "\r\n"));
}

// The month's days of one person read straight off the rows, value by value: the rows of that user whose
// INPUTTIME reads as a date of the month, grouped by INPUTTIME in text order, with the latest clock-in and
// clock-out and the greatest DOUHAN of the clock-ins.
QList<DayTimes> expectedDays(const ParsedTable& clock, const QString& userId, const QDate& month) {
    std::map<QString, DayTimes> days;
    const auto keepGreatest = [](Value& kept, const Value& candidate) {
        if (candidate && (!kept || *candidate > *kept)) {
            kept = candidate;
        }
    };
    for (int r = 0; r < clock.rowCount(); ++r) {
        const Value input = clock.value(r, 1);
        const auto business = input ? ParseDateTimeText(*input) : std::nullopt;
        if (userId.isEmpty() || clock.value(r, 0) != userId || !business || business->date().year() != month.year() ||
            business->date().month() != month.month()) {
            continue;
        }
        DayTimes& day = days.try_emplace(*input, DayTimes{userId, *input, {}, {}, {}}).first->second;
        if (clock.value(r, 3) == u"1") {
            keepGreatest(day.input, clock.value(r, 2));
            keepGreatest(day.douhan, clock.value(r, 4));
        } else if (clock.value(r, 3) == u"2") {
            keepGreatest(day.output, clock.value(r, 2));
        }
    }
    QList<DayTimes> out;
    for (const auto& [inputTime, day] : days) {
        out.append(day);
    }
    return out;
}

}  // namespace

class TestAggregation : public QObject {
    Q_OBJECT
private slots:
    // The all-staff month in one pass gives every person exactly their own month's query, and both follow the
    // query's rules.
    void staffMonthIsEachPersonsMonth() {
        for (quint32 seed = 1; seed <= 300; ++seed) {
            const TablePtr clock = generatedClockTable(seed);
            for (const QDate& month : {QDate(2026, 12, 1), QDate(2026, 11, 1)}) {
                const StaffMonth staff(*clock, month);
                for (const char* id : {"7", "07", "8", "店長", "", "9"}) {
                    const QString user = QString::fromUtf8(id);
                    const QList<DayTimes> own = MonthlyDayTimes(clock, user, month);
                    const QString where = QString("seed %1, %2, user '%3'").arg(seed).arg(month.month()).arg(user);
                    QVERIFY2(staff.days(user) == own, qPrintable(where));
                    QVERIFY2(own == expectedDays(*clock, user, month), qPrintable(where));
                }
            }
        }
    }

    // A night past midnight and a clock-in alone are the month screen's grid test's.
    void dayWorkedTime() {
        const auto worked = [](const char* in, const char* out) {
            const auto value = [](const char* t) { return *t ? Value(QString::fromUtf8(t)) : Value(); };
            const std::optional<qint64> seconds = DayWorkedTime(value(in), value(out));
            return seconds ? DayWorkedText(*seconds) : "none";
        };
        QCOMPARE(worked("2026/12/05 09:00", "2026/12/06 10:00"), "25:00");  // however long
        QCOMPARE(worked("2026/12/05 21:00", "2026/12/05 18:00"), "00:00");  // a clock-out before the clock-in
        QCOMPARE(worked("", "2026/12/05 18:00"), "none");
        QCOMPARE(worked("2026/12/05 9時", "2026/12/05 18:00"), "none");
        // On the wall clock, as the shop counts, also on a night the clocks go forward where the program runs.
        qputenv("TZ", "Europe/Berlin");
        tzset();
        QCOMPARE(worked("2026/03/28 20:00", "2026/03/29 04:00"), "08:00");
        qunsetenv("TZ");
        tzset();
    }

    void amount() {
        const std::tuple<qint64, double, int, const char*, const char*> rows[] = {
            {30, 1001, 15, "0:30", "501"},  // halves away from zero
            {60, 600, 7, "1:00", "560"},    // a unit that does not divide the hour
            {60, -1000, 15, "1:00", "-1,000"},
            {60, 1000, 0, "1:00", "1,000"},                           // an unusable unit counts as 15
            {700000 * 60, 99999, 15, "700000:00", "69,999,300,000"},  // beyond 32 bits of seconds
        };
        for (const auto& [minutes, price, unit, total, amount] : rows) {
            QCOMPARE(WorkedTotalText(minutes * 60), total);
            QCOMPARE(FormatAmount(AmountFromTotal(total, price, unit)), amount);
        }
    }

    // Year, month, first day: two-digit years as typed dates read them; then what the year box's filter lets through
    // but names no year, and months outside the list.
    void monthStart() {
        for (const QString row : {"2026|12|2026-12-01", "09|05|2009-05-01", "98|01|1998-01-01", "20.6|12|", "-202|12|",
                                  "|12|", "20266|12|", "0000|12|", "2026||", "2026|13|"}) {
            const QStringList f = row.split(u'|');
            QCOMPARE(MonthStartFromTexts(f[0], f[1]).value_or(QDate()).toString(Qt::ISODate), f[2]);
        }
    }

    void unitPrice() {
        const std::pair<const char*, std::optional<double>> rows[] = {
            {"1500", 1500}, {"-5", -5}, {"1500.5", 1500.5}, {".5", 0.5}, {"5.", 5},  // numbers, fractions as they are
            {"1.2.3", {}},  {"-", {}},  {"", {}},           {".", {}},   {"15\t0", {}}};
        for (const auto& [text, price] : rows) {
            QCOMPARE(ParseUnitPrice(QString::fromUtf8(text)), price);
        }
    }
};

QTEST_APPLESS_MAIN(TestAggregation)
#include "tst_aggregation.moc"
