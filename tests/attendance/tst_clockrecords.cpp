#include <QTest>

#include "attendance/clockrecords.h"
#include "testsupport.h"

using namespace tsumiki;
using namespace tsumiki::test;

// The rows the clock screen writes are checked with that screen; here, how the day's times are read back.
class TestClockRecords : public QObject {
    Q_OBJECT
private slots:
    void getClockTime() {
        const QString day = "2026/12/05 5:00:00";
        const QString in1 = clockRow("7", day, "2026/12/05 20:00", "1", "1");
        const QString in2 = clockRow("7", day, "2026/12/05 21:00", "1", "0");
        const QString out = clockRow("7", day, "2026/12/06 02:30", "2");
        const std::pair<QStringList, QStringList> rows[] = {
            // rows; clock-in, clock-out, 同伴
            {{in1, in2, out}, {"2026/12/05 21:00", "2026/12/06 02:30", "0"}},             // the later clock-in wins
            {{in1, "\"7\",\"" + day + "\",,\"1\","}, {"2026/12/05 20:00", "", "1"}},      // an empty one clears nothing
            {{clockRow("7", "2026/12/05", "2026/12/05 20:00", "1", "1")}, {"", "", ""}},  // another working day
            {{clockRow("7", "2026/12/05 05:00:00", "2026/12/05 20:00", "1", "1")}, {"", "", ""}},  // written otherwise
            {{clockRow("07", day, "2026/12/05 20:00", "1", "1")}, {"", "", ""}},                   // another user
            {{clockRow("7", day, "2026/12/06 02:30", "2", "1")}, {"", "2026/12/06 02:30", ""}},  // no 同伴 on clock-out
        };
        for (const auto& [clockRows, times] : rows) {
            TempAppFolder folder;
            folder.writeClockRows(clockRows);
            const ClockTimes t =
                GetClockTime(TableStore(folder.path()), "7", QDateTime(QDate(2026, 12, 5), QTime(5, 0)));
            QCOMPARE((QStringList{t.clockIn, t.clockOut, t.douhan}), times);
        }
    }
};

QTEST_APPLESS_MAIN(TestClockRecords)
#include "tst_clockrecords.moc"
