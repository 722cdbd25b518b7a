#include <QTest>

#include "sheets/sheetcontent.h"
#include "testsupport.h"

using namespace tsumiki;
using namespace tsumiki::test;

class TestSheetContent : public QObject {
    Q_OBJECT
private slots:
    // Year, month, first day: two-digit years as typed dates read them; then what the year box's filter lets through
    // but names no year, and months outside the list.
    void monthStart() {
        for (const QString row : {"2026|12|2026-12-01", "09|05|2009-05-01", "98|01|1998-01-01", "20.6|12|", "-202|12|",
                                  "|12|", "20266|12|", "0000|12|", "2026||", "2026|13|"}) {
            const QStringList f = row.split(u'|');
            QCOMPARE(MonthStartFromTexts(f[0], f[1]).value_or(QDate()).toString(Qt::ISODate), f[2]);
        }
    }

    void staffSheet() {
        TempAppFolder folder;
        folder.writeSettings("05:00");
        folder.writeTable(Table::User,
                          {"ID,USERNAME,KENGEN,TANKA", "\"0002\",\"さくら\",\"\",1000", "\"\",\"IDなし\",\"\",500",
                           "\"0003\",\"さくら\",\"\",", "\"0004\",\"\",\"\",900"});
        folder.writeClockRows({clockRow("0002", "2026/12/05 5:00:00", "2026/12/05 20:00", "1", "0"),
                               clockRow("0002", "2026/12/05 5:00:00", "2026/12/06 06:07", "2"),
                               clockRow("0003", "2026/12/05 5:00:00", "2026/12/05 20:00", "1", "0"),
                               clockRow("0003", "2026/12/05 5:00:00", "2026/12/05 23:00", "2")});
        QStringList seen;
        for (const StaffSheetLine& l : BuildStaffSheet(TableStore(folder.path()), QDate(2026, 12, 1))) {
            seen << QStringLiteral("%1|%2|%3|%4").arg(l.userName, l.hours, l.amount, l.userId);
        }
        // File order; the row without ID is left out; two users of the same name are computed apart; a user
        // without a unit price earns 0.
        QCOMPARE(seen, (QStringList{"さくら|10:07|10,000|0002", "さくら|3:00|0|0003", "|0:00|0|0004"}));
    }

    void unitPrice() {
        const std::pair<const char*, std::optional<double>> rows[] = {
            {"1500", 1500}, {"-5", -5}, {"1500.5", 1500.5}, {".5", 0.5}, {"5.", 5},  // numbers, fractions as they are
            {"1.2.3", {}},  {"-", {}},  {"", {}},           {".", {}},   {"15\t0", {}}};
        for (const auto& [text, price] : rows) {
            QCOMPARE(ParseUnitPrice(QString::fromUtf8(text)), price);
        }
    }
};

QTEST_APPLESS_MAIN(TestSheetContent)
#include "tst_sheetcontent.moc"
