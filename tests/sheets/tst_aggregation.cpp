#include <QTest>

#include "sheets/aggregation.h"
#include "testsupport.h"

using namespace tsumiki;
using namespace tsumiki::test;

namespace {
TablePtr clockTable(const QStringList& rows) {
    return std::make_shared<const ParsedTable>(ParsedTable::parseText(
        (QStringList{QStringLiteral("USERID,INPUTTIME,TIMEPRINT,ST,DOUHAN")} + rows).join(QStringLiteral("\r\n"))));
}

// "inputTime in-out douhan" per day, e.g. "2026/12/05 5:00:00 20:00-02:00 1".
QStringList describe(const QList<DayTimes>& days) {
    QStringList out;
    for (const DayTimes& d : days) {
        out << QStringLiteral("%1 %2-%3 %4")
                   .arg(d.inputTime, d.input.value_or(QStringLiteral("-")).right(5),
                        d.output.value_or(QStringLiteral("-")).right(5), d.douhan.value_or(QStringLiteral("-")));
    }
    return out;
}
}  // namespace

class TestAggregation : public QObject {
    Q_OBJECT
private slots:
    void monthlyDayTimes_data();
    void monthlyDayTimes();
    void dayWorkedTime_data();
    void dayWorkedTime();
    void totals_data();
    void totals();
    void amount_data();
    void amount();
    void sumMonthlyHoursReadsCurrentFile();
};

void TestAggregation::monthlyDayTimes_data() {
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QDate>("month");
    QTest::addColumn<QStringList>("days");
    const QString b5 = QStringLiteral("2026/12/05 5:00:00");
    QTest::newRow("night shift counts in its business month")
        << QStringList{clockRow("7", b5, "2026/12/05 20:00", "1", "1"), clockRow("7", b5, "2026/12/06 02:00", "2")}
        << QDate(2026, 12, 1) << QStringList{"2026/12/05 5:00:00 20:00-02:00 1"};
    const QStringList lastEvening{clockRow("7", "2026/11/30 5:00:00", "2026/11/30 21:00", "1", "0"),
                                  clockRow("7", "2026/11/30 5:00:00", "2026/12/01 03:00", "2")};
    QTest::newRow("last evening of November: in November")
        << lastEvening << QDate(2026, 11, 1) << QStringList{"2026/11/30 5:00:00 21:00-03:00 0"};
    QTest::newRow("last evening of November: not in December") << lastEvening << QDate(2026, 12, 1) << QStringList{};
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
                       clockRow("7", b5, "2026/12/05 20:00", "1", "0")}
        << QDate(2026, 12, 1) << QStringList{"2026/12/05 09:00-- 0", "2026/12/05 5:00:00 20:00-- 0"};
    QTest::newRow("a hand-typed short date is read as a date")
        << QStringList{clockRow("7", "2009/5/1", "2009/05/01 09:00", "1", "0")} << QDate(2009, 5, 1)
        << QStringList{"2009/5/1 09:00-- 0"};
    QTest::newRow("other users and exact ids") << QStringList{clockRow("07", b5, "2026/12/05 20:00", "1", "1"),
                                                              clockRow("8", b5, "2026/12/05 20:00", "1", "1")}
                                               << QDate(2026, 12, 1) << QStringList{};
}

void TestAggregation::monthlyDayTimes() {
    QFETCH(QStringList, rows);
    QFETCH(QDate, month);
    QFETCH(QStringList, days);
    QCOMPARE(describe(MonthlyDayTimes(clockTable(rows), QStringLiteral("7"), month)), days);
}

void TestAggregation::dayWorkedTime_data() {
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("worked");  // DayWorkedText, or "none"
    QTest::newRow("over midnight") << "2026/12/05 20:00"
                                   << "2026/12/06 02:00"
                                   << "06:00";
    QTest::newRow("day") << "2026/12/05 09:15"
                         << "2026/12/05 18:00"
                         << "08:45";
    QTest::newRow("25 hours count in full") << "2026/12/05 09:00"
                                            << "2026/12/06 10:00"
                                            << "25:00";
    QTest::newRow("clock-out before clock-in counts nothing") << "2026/12/05 21:00"
                                                              << "2026/12/05 18:00"
                                                              << "00:00";
    QTest::newRow("missing clock-out") << "2026/12/05 09:00"
                                       << ""
                                       << "none";
    QTest::newRow("missing clock-in") << ""
                                      << "2026/12/05 18:00"
                                      << "none";
    QTest::newRow("unreadable time") << "2026/12/05 9時"
                                     << "2026/12/05 18:00"
                                     << "none";
}

void TestAggregation::dayWorkedTime() {
    QFETCH(QString, input);
    QFETCH(QString, output);
    QFETCH(QString, worked);
    const auto value = [](const QString& s) { return s.isEmpty() ? Value() : Value(s); };
    const std::optional<qint64> seconds = DayWorkedTime(value(input), value(output));
    QCOMPARE(seconds ? DayWorkedText(*seconds) : QStringLiteral("none"), worked);
}

void TestAggregation::totals_data() {
    QTest::addColumn<qint64>("seconds");
    QTest::addColumn<QString>("text");
    QTest::newRow("nothing") << qint64(0) << "0:00";
    QTest::newRow("59 minutes") << qint64(59 * 60) << "0:59";
    QTest::newRow("7:30") << qint64(7 * 3600 + 30 * 60) << "7:30";
    QTest::newRow("123:05") << qint64(123 * 3600 + 5 * 60) << "123:05";
    QTest::newRow("600 hours") << qint64(600 * 3600) << "600:00";
    QTest::newRow("beyond 32 bits of seconds") << qint64(700000) * 3600 << "700000:00";
}

void TestAggregation::totals() {
    QFETCH(qint64, seconds);
    QFETCH(QString, text);
    QCOMPARE(WorkedTotalText(seconds), text);
}

void TestAggregation::amount_data() {
    QTest::addColumn<QString>("total");
    QTest::addColumn<double>("price");
    QTest::addColumn<int>("unit");
    QTest::addColumn<QString>("amount");
    QTest::newRow("123:05 at 1000") << "123:05" << 1000.0 << 15 << "123,000";
    QTest::newRow("half rounds away from zero") << "0:30" << 1001.0 << 15 << "501";
    QTest::newRow("less than a unit") << "0:14" << 1000.0 << 15 << "0";
    QTest::newRow("10:07 at 1000") << "10:07" << 1000.0 << 15 << "10,000";
    QTest::newRow("unit 7: fractional divisor") << "1:00" << 600.0 << 7 << "560";
    QTest::newRow("fractional price") << "2:00" << 1500.5 << 15 << "3,001";
    QTest::newRow("negative price") << "1:00" << -1000.0 << 15 << "-1,000";
    QTest::newRow("unit 0 counts as 15") << "1:00" << 1000.0 << 0 << "1,000";
    QTest::newRow("large total") << "700000:00" << 99999.0 << 15 << "69,999,300,000";
}

void TestAggregation::amount() {
    QFETCH(QString, total);
    QFETCH(double, price);
    QFETCH(int, unit);
    QFETCH(QString, amount);
    QCOMPARE(FormatAmount(AmountFromTotal(total, price, unit)), amount);
}

void TestAggregation::sumMonthlyHoursReadsCurrentFile() {
    TempAppFolder folder;
    folder.writeTable(Table::Clock, {"USERID,INPUTTIME,TIMEPRINT,ST,DOUHAN",
                                     clockRow("7", "2026/12/05", "2026/12/05 09:00", "1", "0"),
                                     clockRow("7", "2026/12/05", "2026/12/05 17:30", "2")});
    TableStore store(folder.path());
    QCOMPARE(SumMonthlyHours(store, QStringLiteral("7"), QDate(2026, 12, 1)), QStringLiteral("8:30"));
    store.append(Table::Clock, {QStringLiteral("7"), QStringLiteral("2026/12/06"), QStringLiteral("2026/12/06 09:00"),
                                QStringLiteral("1"), QStringLiteral("0")});
    store.append(Table::Clock, {QStringLiteral("7"), QStringLiteral("2026/12/06"), QStringLiteral("2026/12/06 09:59"),
                                QStringLiteral("2"), std::nullopt});
    QCOMPARE(SumMonthlyHours(store, QStringLiteral("7"), QDate(2026, 12, 1)), QStringLiteral("9:29"));
}

QTEST_APPLESS_MAIN(TestAggregation)
#include "tst_aggregation.moc"
