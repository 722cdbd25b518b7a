#include <QTest>

#include "attendance/businessdate.h"
#include "attendance/clockrecords.h"
#include "testsupport.h"

using namespace tsumiki;
using namespace tsumiki::test;

class TestClockRecords : public QObject {
    Q_OBJECT
private slots:
    void clockRowsWritten_data();
    void clockRowsWritten();
    void getClockTime();
};

void TestClockRecords::clockRowsWritten_data() {
    QTest::addColumn<QString>("dayChange");
    QTest::addColumn<QString>("inAt");
    QTest::addColumn<bool>("douhan");
    QTest::addColumn<QString>("outAt");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("day shift") << "00:00"
                               << "2026/12/05 09:07:00" << false << "2026/12/05 18:14:00"
                               << QStringList{clockRow("0002", "2026/12/05", "2026/12/05 09:15", "1", "0"),
                                              clockRow("0002", "2026/12/05", "2026/12/05 18:00", "2")};
    QTest::newRow("night shift") << "05:00"
                                 << "2026/12/05 23:50:00" << true << "2026/12/06 02:38:00"
                                 << QStringList{clockRow("0002", "2026/12/05 5:00:00", "2026/12/06 00:00", "1", "1"),
                                                clockRow("0002", "2026/12/05 5:00:00", "2026/12/06 02:30", "2")};
}

// The bytes appended, and the day's times read back from them.
void TestClockRecords::clockRowsWritten() {
    QFETCH(QString, dayChange);
    QFETCH(QString, inAt);
    QFETCH(bool, douhan);
    QFETCH(QString, outAt);
    QFETCH(QStringList, lines);
    TempAppFolder folder;
    folder.writeEmptyTables();
    folder.writeSettings(dayChange);
    TableStore store(folder.path());
    FakeClock clock;
    clock.set(inAt);
    const QDateTime recordedIn = RecordClockIn(store, clock, "0002", GetBusinessDate(store, clock), douhan);
    clock.set(outAt);
    const QDateTime business = GetBusinessDate(store, clock);
    const QTime recordedOut = RecordClockOut(store, clock, "0002", business);

    QCOMPARE(folder.bytes(Table::Clock),
             toCp932((QStringList{schemaOf(Table::Clock).columns.join(u',')} + lines).join("\r\n") + "\r\n"));
    const ClockTimes times = GetClockTime(store, "0002", business);
    QCOMPARE(times.clockIn, recordedIn.toString("yyyy/MM/dd HH:mm"));
    QCOMPARE(times.clockOut.right(5), recordedOut.toString("HH:mm"));
    QCOMPARE(times.douhan, douhan ? "1" : "0");
}

void TestClockRecords::getClockTime() {
    const QString day = "2026/12/05 5:00:00";
    const QString in1 = clockRow("7", day, "2026/12/05 20:00", "1", "1");
    const QString in2 = clockRow("7", day, "2026/12/05 21:00", "1", "0");
    const QString out = clockRow("7", day, "2026/12/06 02:30", "2");
    const std::pair<QStringList, QStringList> rows[] = {
        // rows; clock-in, clock-out, 同伴
        {{}, {"", "", ""}},
        {{in1, in2, out}, {"2026/12/05 21:00", "2026/12/06 02:30", "0"}},             // the later clock-in wins
        {{in1, "\"7\",\"" + day + "\",,\"1\","}, {"2026/12/05 20:00", "", "1"}},      // an empty one clears nothing
        {{clockRow("7", "2026/12/05", "2026/12/05 20:00", "1", "1")}, {"", "", ""}},  // another working day
        {{clockRow("07", day, "2026/12/05 20:00", "1", "1")}, {"", "", ""}},          // another user
        {{clockRow("7", day, "2026/12/06 02:30", "2", "1")}, {"", "2026/12/06 02:30", ""}},  // no 同伴 on clock-out
    };
    for (const auto& [clockRows, times] : rows) {
        TempAppFolder folder;
        folder.writeClockRows(clockRows);
        const ClockTimes t = GetClockTime(TableStore(folder.path()), "7", QDateTime(QDate(2026, 12, 5), QTime(5, 0)));
        QCOMPARE((QStringList{t.clockIn, t.clockOut, t.douhan}), times);
    }
}

QTEST_APPLESS_MAIN(TestClockRecords)
#include "tst_clockrecords.moc"
