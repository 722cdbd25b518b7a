// Times a person's month and the all-staff month on a large clock table against decoding the file with iconv, in
// paired runs.
#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTextStream>

#include "clockdata.h"
#include "sheets/aggregation.h"
#include "sheets/sheetcontent.h"

using namespace tsumiki;
using namespace tsumiki::bench;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir folder;
    const int staff = 50;
    const qint64 rows = writeSampleFolder(folder.path(), staff, 3650);
    const QDate month(2026, 6, 1);
    const QString clockFile = TableStore(folder.path()).pathOf(Table::Clock);
    auto baseline = [&] { return iconvMs(clockFile); };
    out << QStringLiteral("clock rows: %1, staff: %2, month: 2026/06; each figure the median of %3 paired runs\n")
               .arg(rows)
               .arg(staff)
               .arg(kPairedRuns);

    // A fresh store each run: the first read after the file changed, as when a sheet opens.
    QString personTotal;
    const PairedFigure person = pairedMedian(kPairedRuns, baseline, [&] {
        return timeMs([&] {
            const TableStore store(folder.path());
            personTotal =
                WorkedTotalText(MonthlyTotal(MonthlyDayTimes(store.read(Table::Clock), QStringLiteral("0025"), month)));
        });
    });
    printFigure(out, QStringLiteral("one person-month (%1)").arg(personTotal), QStringLiteral("person_month"), person,
                1.5);

    // Every user's total and pay, as the all-staff sheet works them out.
    qsizetype lines = 0;
    const PairedFigure everyone = pairedMedian(kPairedRuns, baseline, [&] {
        return timeMs([&] {
            const TableStore store(folder.path());
            lines = BuildStaffSheet(store, month).size();
        });
    });
    printFigure(out, QStringLiteral("all %1 staff, one month").arg(lines), QStringLiteral("staff_month"), everyone,
                1.0);
    return 0;
}
