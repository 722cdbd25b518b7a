#include <QTest>

#include "sheets/aggregation.h"
#include "testsupport.h"

using namespace tsumiki;
using namespace tsumiki::test;

namespace {
TablePtr clockTable(const QStringList& rows) {
    return std::make_shared<const ParsedTable>(ParsedTable::parseText(
        (QStringList{QString("USERID,INPUTTIME,TIMEPRINT,ST,DOUHAN")} + rows).join(QString("\r\n"))));
}

// "inputTime in-out douhan" per day, e.g. "2026/12/05 5:00:00 20:00-02:00 1".
QStringList describe(const QList<DayTimes>& days) {
    QStringList out;
    for (const DayTimes& d : days) {
        out << QString("%1 %2-%3 %4")
                   .arg(d.inputTime, d.input.value_or(QString("-")).right(5), d.output.value_or(QString("-")).right(5),
                        d.douhan.value_or(QString("-")));
    }
    return out;
}
}  // namespace

class TestAggregation : public QObject {
    Q_OBJECT
private slots:
    void monthlyDayTimes_data() {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QDate>("month");
        QTest::addColumn<QStringList>("days");
        QTest::newRow("two clock-ins: the later one, douhan of any")
            << QStringList{clockRow("7", "2026/12/05", "2026/12/05 09:00", "1", "1"),
                           clockRow("7", "2026/12/05", "2026/12/05 13:00", "1", "0"),
                           clockRow("7", "2026/12/05", "2026/12/05 18:00", "2")}
            << QDate(2026, 12, 1) << QStringList{"2026/12/05 13:00-18:00 1"};
        QTest::newRow("missing halves") << QStringList{clockRow("7", "2026/12/02", "2026/12/02 09:00", "1", "0"),
                                                       clockRow("7", "2026/12/01", "2026/12/01 18:00", "2")}
                                        << QDate(2026, 12, 1)
                                        << QStringList{"2026/12/01 --18:00 -", "2026/12/02 09:00-- 0"};
        QTest::newRow("two business-date spellings of one day give two rows")
            << QStringList{clockRow("7", "2026/12/05", "2026/12/05 09:00", "1", "0"),
                           clockRow("7", "2026/12/05 5:00:00", "2026/12/05 20:00", "1", "0")}
            << QDate(2026, 12, 1) << QStringList{"2026/12/05 09:00-- 0", "2026/12/05 5:00:00 20:00-- 0"};
        QTest::newRow("the last evening of November is not December's")
            << QStringList{clockRow("7", "2026/11/30 5:00:00", "2026/11/30 21:00", "1", "0"),
                           clockRow("7", "2026/11/30 5:00:00", "2026/12/01 03:00", "2")}
            << QDate(2026, 12, 1) << QStringList{};
        QTest::newRow("other users, ids compared exactly")
            << QStringList{clockRow("07", "2026/12/05", "2026/12/05 20:00", "1", "1"),
                           clockRow("8", "2026/12/05", "2026/12/05 20:00", "1", "1")}
            << QDate(2026, 12, 1) << QStringList{};
        QTest::newRow("a hand-typed short date is read as a date")
            << QStringList{clockRow("7", "2009/5/1", "2009/05/01 09:00", "1", "0")} << QDate(2009, 5, 1)
            << QStringList{"2009/5/1 09:00-- 0"};
    }

    void monthlyDayTimes() {
        QFETCH(QStringList, rows);
        QFETCH(QDate, month);
        QFETCH(QStringList, days);
        QCOMPARE(describe(MonthlyDayTimes(clockTable(rows), QString("7"), month)), days);
    }

    void dayWorkedTime() {
        const auto worked = [](const char* in, const char* out) {
            const auto value = [](const char* t) { return *t ? Value(QString::fromUtf8(t)) : Value(); };
            const std::optional<qint64> seconds = DayWorkedTime(value(in), value(out));
            return seconds ? DayWorkedText(*seconds) : "none";
        };
        QCOMPARE(worked("2026/12/05 20:00", "2026/12/06 02:00"), "06:00");
        QCOMPARE(worked("2026/12/05 09:00", "2026/12/06 10:00"), "25:00");  // however long
        QCOMPARE(worked("2026/12/05 21:00", "2026/12/05 18:00"), "00:00");  // a clock-out before the clock-in
        QCOMPARE(worked("2026/12/05 09:00", ""), "none");
        QCOMPARE(worked("", "2026/12/05 18:00"), "none");
        QCOMPARE(worked("2026/12/05 9時", "2026/12/05 18:00"), "none");
    }

    void amount() {
        struct Row {
            qint64 minutes;
            double price;
            int unit;
            const char* total;
            const char* amount;
        };
        const Row rows[] = {
            {0, 1000, 15, "0:00", "0"},
            {123 * 60 + 5, 1000, 15, "123:05", "123,000"},
            {30, 1001, 15, "0:30", "501"},  // halves away from zero
            {14, 1000, 15, "0:14", "0"},    // less than a unit
            {60, 600, 7, "1:00", "560"},    // a unit that does not divide the hour
            {120 * 60, 150.5, 15, "120:00", "18,060"},
            {60, -1000, 15, "1:00", "-1,000"},
            {60, 1000, 0, "1:00", "1,000"},                           // an unusable unit counts as 15
            {700000 * 60, 99999, 15, "700000:00", "69,999,300,000"},  // beyond 32 bits of seconds
        };
        for (const Row& r : rows) {
            QCOMPARE(WorkedTotalText(r.minutes * 60), r.total);
            QCOMPARE(FormatAmount(AmountFromTotal(r.total, r.price, r.unit)), r.amount);
        }
    }

    void sumMonthlyHoursReadsCurrentFile() {
        TempAppFolder folder;
        folder.writeClockRows({clockRow("7", "2026/12/05", "2026/12/05 09:00", "1", "0"),
                               clockRow("7", "2026/12/05", "2026/12/05 17:30", "2")});
        TableStore store(folder.path());
        QCOMPARE(SumMonthlyHours(store, "7", QDate(2026, 12, 1)), "8:30");
        store.append(Table::Clock, {"7", "2026/12/06", "2026/12/06 09:00", "1", "0"});
        store.append(Table::Clock, {"7", "2026/12/06", "2026/12/06 09:59", "2", std::nullopt});
        QCOMPARE(SumMonthlyHours(store, "7", QDate(2026, 12, 1)), "9:29");
    }
};

QTEST_APPLESS_MAIN(TestAggregation)
#include "tst_aggregation.moc"
