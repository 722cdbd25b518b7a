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
constexpr int kPairs = 7;

int queryDay(const TableStore& store) {
    return static_cast<int>(ClockRowsByKind(store.read(Table::Clock), u"0025", u"2026/06/15 5:00:00", u"1").size());
}

void print(QTextStream& out, const QString& what, const QString& name, const PairedFigure& f, double target) {
    out << QStringLiteral("%1: %2 ms, iconv %3 ms = %4 x baseline (target <= %5)\n")
               .arg(what)
               .arg(f.workMs, 0, 'f', 1)
               .arg(f.baselineMs, 0, 'f', 1)
               .arg(f.ratio, 0, 'f', 2)
               .arg(target);
    out << QStringLiteral("ratio %1 %2 %3\n").arg(name).arg(f.ratio, 0, 'f', 2).arg(target);
}
}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir big;
    const qint64 rows = writeSampleFolder(big.path(), 50, 3650);
    const QString clockFile = TableStore(big.path()).pathOf(Table::Clock);
    auto baseline = [&] { return iconvMs(clockFile); };
    out << QStringLiteral("clock rows: %1; each figure the median of %2 paired runs\n").arg(rows).arg(kPairs);

    // A fresh store each run: the first read of the file, as at start-up or after another program changed it.
    int found = 0;
    const PairedFigure cold = pairedMedian(kPairs, baseline, [&] {
        return timeMs([&] {
            const TableStore store(big.path());
            found = queryDay(store);
        });
    });
    print(out, QStringLiteral("ClockRowsByKind, cold read (%1 row)").arg(found), QStringLiteral("clock_query_cold"),
          cold, 1.5);

    // The clock screen's round: the day's rows are read, a clock row is appended, the rows are read again.
    TableStore store(big.path());
    queryDay(store);
    int minute = 0;
    auto appendRow = [&] {
        store.append(Table::Clock, {QStringLiteral("0001"), QStringLiteral("2027/01/01 5:00:00"),
                                    QStringLiteral("2027/01/01 20:%1").arg(minute++ % 60, 2, 10, QLatin1Char('0')),
                                    QStringLiteral("1"), QStringLiteral("0")});
    };
    const PairedFigure append = pairedMedian(kPairs, baseline, [&] {
        const double ms = timeMs(appendRow);
        queryDay(store);
        return ms;
    });
    print(out, QStringLiteral("append to the clock table"), QStringLiteral("clock_append"), append, 0.3);
    const PairedFigure afterAppend = pairedMedian(kPairs, baseline, [&] {
        appendRow();
        return timeMs([&] { found = queryDay(store); });
    });
    print(out, QStringLiteral("ClockRowsByKind after an append"), QStringLiteral("clock_query_after_append"),
          afterAppend, 0.3);
    return 0;
}
