// Times reads of a large clock table against decoding the same file with iconv, in paired runs.
#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTextStream>

#include "clockdata.h"
#include "store/queries.h"
#include "store/tablestore.h"

using namespace tsumiki;
using namespace tsumiki::bench;

namespace {
int queryDay(const TableStore& store) {
    return static_cast<int>(ClockRowsByKind(store.read(Table::Clock), u"0025", u"2026/06/15 5:00:00", u"1").size());
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir big;
    const qint64 rows = writeSampleFolder(big.path(), 50, 3650);
    const QString clockFile = TableStore(big.path()).pathOf(Table::Clock);
    auto baseline = [&] { return iconvMs(clockFile); };
    out << QStringLiteral("clock rows: %1; each figure the median of %2 paired runs\n").arg(rows).arg(kPairedRuns);

    // A fresh store each run: the first read of the file, as at start-up or after another program changed it.
    int found = 0;
    const PairedFigure cold = pairedMedian(kPairedRuns, baseline, [&] {
        return timeMs([&] {
            const TableStore store(big.path());
            found = queryDay(store);
        });
    });
    printFigure(out, QStringLiteral("ClockRowsByKind, cold read (%1 row)").arg(found),
                QStringLiteral("clock_query_cold"), cold, 1.5);

    // The clock screen's round: the day's rows are read, a clock row is appended, the rows are read again.
    TableStore store(big.path());
    queryDay(store);
    int minute = 0;
    auto appendRow = [&] {
        store.append(Table::Clock, {QStringLiteral("0001"), QStringLiteral("2027/01/01 5:00:00"),
                                    QStringLiteral("2027/01/01 20:%1").arg(minute++ % 60, 2, 10, QLatin1Char('0')),
                                    QStringLiteral("1"), QStringLiteral("0")});
    };
    const PairedFigure append = pairedMedian(kPairedRuns, baseline, [&] {
        const double ms = timeMs(appendRow);
        queryDay(store);
        return ms;
    });
    printFigure(out, QStringLiteral("append to the clock table"), QStringLiteral("clock_append"), append, 0.3);
    const PairedFigure afterAppend = pairedMedian(kPairedRuns, baseline, [&] {
        appendRow();
        return timeMs([&] { found = queryDay(store); });
    });
    printFigure(out, QStringLiteral("ClockRowsByKind after an append"), QStringLiteral("clock_query_after_append"),
                afterAppend, 0.3);
    return 0;
}
