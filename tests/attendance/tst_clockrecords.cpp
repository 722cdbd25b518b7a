#include <QTest>

#include "attendance/businessdate.h"
#include "attendance/clockrecords.h"
#include "testsupport.h"

using namespace tsumiki;
using namespace tsumiki::test;

namespace {
const QString kHeader = QStringLiteral("USERID,INPUTTIME,TIMEPRINT,ST,DOUHAN");

}  // namespace

class TestClockRecords : public QObject {
    Q_OBJECT
private slots:
    void clockRowsWritten_data();
    void clockRowsWritten();
    void clockInRoundedPastMidnightIsNextDay();
    void getClockTime_data();
    void getClockTime();
};

// Each row: the day-change time, then a clock-in and a clock-out moment, and the two lines they append.
void TestClockRecords::clockRowsWritten_data() {
    QTest::addColumn<QString>("dayChange");
    QTest::addColumn<QString>("inAt");
    QTest::addColumn<bool>("douhan");
    QTest::addColumn<QString>("outAt");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("shownIn");
    QTest::addColumn<QString>("shownOut");
    QTest::newRow("day shift") << "00:00"
                               << "2026/12/05 09:07:00" << false << "2026/12/05 18:14:00"
                               << QStringList{"\"0002\",\"2026/12/05\",\"2026/12/05 09:15\",\"1\",\"0\"",
                                              "\"0002\",\"2026/12/05\",\"2026/12/05 18:00\",\"2\",\"\""}
                               << "2026/12/05 09:15"
                               << "18:00";
    QTest::newRow("night shift past midnight")
        << "05:00"
        << "2026/12/05 20:03:00" << true << "2026/12/06 02:38:00"
        << QStringList{"\"0002\",\"2026/12/05 5:00:00\",\"2026/12/05 20:15\",\"1\",\"1\"",
                       "\"0002\",\"2026/12/05 5:00:00\",\"2026/12/06 02:30\",\"2\",\"\""}
        << "2026/12/05 20:15"
        << "02:30";
}

void TestClockRecords::clockRowsWritten() {
    QFETCH(QString, dayChange);
    QFETCH(QString, inAt);
    QFETCH(bool, douhan);
    QFETCH(QString, outAt);
    QFETCH(QStringList, lines);
    QFETCH(QString, shownIn);
    QFETCH(QString, shownOut);
    TempAppFolder folder;
    folder.writeEmptyTables();
    folder.writeSettings(dayChange);
    TableStore store(folder.path());
    FakeClock clock;
    const QString user = QStringLiteral("0002");

    clock.set(inAt);
    const QDateTime recordedIn = RecordClockIn(store, clock, user, GetBusinessDate(store, clock), douhan);
    QCOMPARE(recordedIn.toString(QStringLiteral("yyyy/MM/dd HH:mm")), shownIn);
    clock.set(outAt);
    const QDateTime business = GetBusinessDate(store, clock);
    QCOMPARE(RecordClockOut(store, clock, user, business).toString(QStringLiteral("HH:mm")), shownOut);

    QCOMPARE(folder.bytes(Table::Clock),
             toCp932((QStringList{kHeader} + lines).join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")));
    const ClockTimes times = GetClockTime(store, user, business);
    QCOMPARE(times.clockIn, shownIn);
    QVERIFY(times.clockOut.endsWith(shownOut));
    QCOMPARE(times.douhan, douhan ? QStringLiteral("1") : QStringLiteral("0"));
}

void TestClockRecords::clockInRoundedPastMidnightIsNextDay() {
    TempAppFolder folder;
    folder.writeEmptyTables();
    folder.writeSettings(QStringLiteral("05:00"));
    TableStore store(folder.path());
    FakeClock clock;
    clock.set(QStringLiteral("2026/12/05 23:50:10"));
    const QDateTime business = GetBusinessDate(store, clock);
    const QDateTime recorded = RecordClockIn(store, clock, QStringLiteral("7"), business, false);
    QCOMPARE(recorded, QDateTime(QDate(2026, 12, 6), QTime(0, 0)));
    QCOMPARE(GetClockTime(store, QStringLiteral("7"), business).clockIn, QStringLiteral("2026/12/06 00:00"));
    // The row still belongs to the working day of the click.
    QVERIFY(folder.bytes(Table::Clock).contains("\"7\",\"2026/12/05 5:00:00\",\"2026/12/06 00:00\""));
}

void TestClockRecords::getClockTime_data() {
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("clockIn");
    QTest::addColumn<QString>("clockOut");
    QTest::addColumn<QString>("douhan");
    const QString in1 = QStringLiteral("\"7\",\"2026/12/05 5:00:00\",\"2026/12/05 20:00\",\"1\",\"1\"");
    const QString in2 = QStringLiteral("\"7\",\"2026/12/05 5:00:00\",\"2026/12/05 21:00\",\"1\",\"0\"");
    const QString out = QStringLiteral("\"7\",\"2026/12/05 5:00:00\",\"2026/12/06 02:30\",\"2\",");
    QTest::newRow("nothing") << QStringList{} << ""
                             << ""
                             << "";
    QTest::newRow("the later clock-in wins") << QStringList{in1, in2, out} << "2026/12/05 21:00"
                                             << "2026/12/06 02:30"
                                             << "0";
    QTest::newRow("an empty time does not clear an earlier one")
        << QStringList{in1, QStringLiteral("\"7\",\"2026/12/05 5:00:00\",,\"1\",")} << "2026/12/05 20:00"
        << ""
        << "1";
    QTest::newRow("a bare date is another working day")
        << QStringList{QStringLiteral("\"7\",\"2026/12/05\",\"2026/12/05 20:00\",\"1\",\"1\"")} << ""
        << ""
        << "";
    QTest::newRow("another user") << QStringList{QString(in1).replace(QStringLiteral("\"7\""),
                                                                      QStringLiteral("\"07\""))}
                                  << ""
                                  << ""
                                  << "";
    QTest::newRow("a clock-out row carries no douhan")
        << QStringList{QStringLiteral("\"7\",\"2026/12/05 5:00:00\",\"2026/12/06 02:30\",\"2\",\"1\"")} << ""
        << "2026/12/06 02:30"
        << "";
}

void TestClockRecords::getClockTime() {
    QFETCH(QStringList, rows);
    QFETCH(QString, clockIn);
    QFETCH(QString, clockOut);
    QFETCH(QString, douhan);
    TempAppFolder folder;
    folder.writeClockRows(rows);
    const ClockTimes t =
        GetClockTime(TableStore(folder.path()), QStringLiteral("7"), QDateTime(QDate(2026, 12, 5), QTime(5, 0)));
    QCOMPARE(t.clockIn, clockIn);
    QCOMPARE(t.clockOut, clockOut);
    QCOMPARE(t.douhan, douhan);
}

QTEST_APPLESS_MAIN(TestClockRecords)
#include "tst_clockrecords.moc"
