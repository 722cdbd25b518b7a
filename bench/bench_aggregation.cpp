// Times a person's month and the all-staff month on a large clock table against decoding the file with iconv.
#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTextStream>

#include "clockdata.h"
#include "sheets/aggregation.h"
#include "store/queries.h"

using namespace tsumiki;
using namespace tsumiki::bench;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir folder;
    const int staff = 50;
    const qint64 rows = writeSampleFolder(folder.path(), staff, 3650);
    const QDate month(2026, 6, 1);
    const double baseline = iconvBaselineMs(TableStore(folder.path()).pathOf(Table::Clock), 5);

    QString personTotal;
    // A fresh store each run: the first read after the file changed, as when a sheet opens.
    const double person = fastestMs(5, [&] {
        const TableStore store(folder.path());
        personTotal =
            WorkedTotalText(MonthlyTotal(MonthlyDayTimes(store.read(Table::Clock), QStringLiteral("0025"), month)));
    });
    QStringList totals;
    const double everyone = fastestMs(5, [&] {
        const TableStore store(folder.path());
        totals.clear();
        for (const Record& user : AllUsers(store.read(Table::User))) {
            totals << SumMonthlyHours(store, user.value(u"ID").value_or(QString()), month);
        }
    });

    out << QStringLiteral("clock rows: %1, staff: %2, month: 2026/06\n").arg(rows).arg(staff);
    out << QStringLiteral("iconv CP932 -> UTF-8 baseline     : %1 ms\n").arg(baseline, 0, 'f', 1);
    out << QStringLiteral("one person-month (%1)         : %2 ms  = %3 x baseline (target <= 1.5)\n")
               .arg(personTotal)
               .arg(person, 0, 'f', 1)
               .arg(person / baseline, 0, 'f', 2);
    out << QStringLiteral("all %1 staff, one month          : %2 ms  = %3 x baseline (target <= 3)\n")
               .arg(totals.size())
               .arg(everyone, 0, 'f', 1)
               .arg(everyone / baseline, 0, 'f', 2);
    return 0;
}
