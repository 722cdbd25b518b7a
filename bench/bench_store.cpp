// Times a query and an append on a large clock table against decoding the same file with iconv.
#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTextStream>

#include "clockdata.h"
#include "store/queries.h"
#include "store/tablestore.h"

using namespace tsumiki;
using namespace tsumiki::bench;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir big, small;
    const qint64 rows = writeSampleFolder(big.path(), 50, 3650);
    const qint64 smallRows = writeSampleFolder(small.path(), 10, 50);
    const TableStore bigStore(big.path());
    const QString clockFile = bigStore.pathOf(Table::Clock);

    const double baseline = iconvBaselineMs(clockFile, 5);
    // A fresh store each run: the first read of a file, as at every screen opening after a change.
    int found = 0;
    const double query = fastestMs(5, [&] {
        const TableStore store(big.path());
        found =
            static_cast<int>(ClockRowsByKind(store.read(Table::Clock), u"0025", u"2026/06/15 5:00:00", u"1").size());
    });
    auto appendTime = [](const QString& folder) {
        TableStore store(folder);
        return fastestMs(20, [&] {
            store.append(Table::Clock, {QStringLiteral("0001"), QStringLiteral("2027/01/01 5:00:00"),
                                        QStringLiteral("2027/01/01 20:00"), QStringLiteral("1"), QStringLiteral("0")});
        });
    };
    const double appendBig = appendTime(big.path());
    const double appendSmall = appendTime(small.path());

    out << QStringLiteral("clock rows: %1 (small table: %2)\n").arg(rows).arg(smallRows);
    out << QStringLiteral("(a) iconv CP932 -> UTF-8 baseline : %1 ms\n").arg(baseline, 0, 'f', 1);
    out << QStringLiteral("(b) ClockRowsByKind, cold read    : %1 ms  = %2 x baseline (target <= 1.5; %3 row)\n")
               .arg(query, 0, 'f', 1)
               .arg(query / baseline, 0, 'f', 2)
               .arg(found);
    out << QStringLiteral("(c) append, %1 rows : %2 ms; %3 rows: %4 ms  = %5 x (target <= 2)\n")
               .arg(rows)
               .arg(appendBig, 0, 'f', 3)
               .arg(smallRows)
               .arg(appendSmall, 0, 'f', 3)
               .arg(appendBig / appendSmall, 0, 'f', 2);
    return 0;
}
