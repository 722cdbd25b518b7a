#include <QTest>

#include "sheets/sheetcontent.h"
#include "testsupport.h"

using namespace tsumiki;
using namespace tsumiki::test;

namespace {
// A folder with users 0002 (price 1000), 0003 (no price), a row without ID, and the given clock rows.
void writeShop(const TempAppFolder& folder, const QStringList& clockRows) {
    folder.writeTable(Table::Control,
                      {"CTLCODE,CODE1,CODE2,CODE3,COMMENT", "\"CTL0003\",\"05:00\",,,", "\"CTL0004\",\"15\",,,"});
    folder.writeTable(Table::User, {"ID,USERNAME,KENGEN,TANKA", "\"0002\",\"さくら\",\"\",1000",
                                    "\"\",\"IDなし\",\"\",500", "\"0003\",\"さくら\",\"\",", "\"0004\",\"\",\"\",900"});
    folder.writeClockRows(clockRows);
}

// "day weekday start~end worked douhan" of a sheet line.
QString line(const IndividualSheetDay& d) {
    return QStringLiteral("%1%2 %3~%4 %5 %6").arg(d.day, d.weekday, d.start, d.end, d.worked, d.douhan);
}
}  // namespace

class TestSheetContent : public QObject {
    Q_OBJECT
private slots:
    void monthStart_data();
    void monthStart();
    void individualSheet();
    void calendarOfTheMonth();
    void staffSheet();
    void unitPrice();
};

void TestSheetContent::monthStart_data() {
    QTest::addColumn<QString>("year");
    QTest::addColumn<QString>("month");
    QTest::addColumn<QDate>("start");
    // Two-digit years as typed dates read them; then what the year box's filter lets through but names no year,
    // and months outside the list.
    const std::tuple<const char*, const char*, QDate> rows[] = {{"2026", "12", QDate(2026, 12, 1)},
                                                                {"09", "05", QDate(2009, 5, 1)},
                                                                {"98", "01", QDate(1998, 1, 1)},
                                                                {"20.6", "12", {}},
                                                                {"-202", "12", {}},
                                                                {"", "12", {}},
                                                                {"20266", "12", {}},
                                                                {"0000", "12", {}},
                                                                {"2026", "", {}},
                                                                {"2026", "13", {}}};
    for (const auto& [year, month, start] : rows) {
        QTest::addRow("'%s' '%s'", year, month) << year << month << start;
    }
}

void TestSheetContent::monthStart() {
    QFETCH(QString, year);
    QFETCH(QString, month);
    QFETCH(QDate, start);
    QCOMPARE(MonthStartFromTexts(year, month).value_or(QDate()), start);
}

void TestSheetContent::individualSheet() {
    TempAppFolder folder;
    writeShop(folder, {
                          // night shift with 同伴
                          clockRow("0002", "2026/12/05 5:00:00", "2026/12/05 20:00", "1", "1"),
                          clockRow("0002", "2026/12/05 5:00:00", "2026/12/06 02:00", "2"),
                          // missing clock-out
                          clockRow("0002", "2026/12/07 5:00:00", "2026/12/07 19:15", "1", "0"),
                          // last night of the month runs into January: stays in December
                          clockRow("0002", "2026/12/31 5:00:00", "2026/12/31 21:00", "1", "0"),
                          clockRow("0002", "2026/12/31 5:00:00", "2027/01/01 01:30", "2"),
                          // the last evening of November is not December's
                          clockRow("0002", "2026/11/30 5:00:00", "2026/11/30 21:00", "1", "0"),
                          clockRow("0002", "2026/11/30 5:00:00", "2026/12/01 01:00", "2"),
                          // someone else
                          clockRow("0003", "2026/12/05 5:00:00", "2026/12/05 18:00", "1", "1"),
                      });
    const IndividualSheet sheet =
        BuildIndividualSheet(TableStore(folder.path()), QStringLiteral("0002"), QDate(2026, 12, 1));
    QCOMPARE(sheet.days.size(), 31);
    QCOMPARE(line(sheet.days[0]), QStringLiteral("1火 ~  "));
    QCOMPARE(line(sheet.days[4]), QStringLiteral("5土 20:00~02:00 06:00 ○"));
    QCOMPARE(line(sheet.days[6]), QStringLiteral("7月 19:15~  "));
    QCOMPARE(line(sheet.days[30]), QStringLiteral("31木 21:00~01:30 04:30 "));
    QCOMPARE(sheet.totalText, QStringLiteral("10:30"));
    // 42 units of 15 minutes at 1000 an hour.
    QCOMPARE(sheet.unitPrice, 1000);
    QCOMPARE(sheet.amount, QStringLiteral("10,500"));
}

void TestSheetContent::calendarOfTheMonth() {
    TempAppFolder folder;
    writeShop(folder, {});
    // Leap February, April, and a month that starts on a Sunday: days, and the day of the first Sunday.
    for (const auto& [month, days, firstSunday] :
         {std::tuple{QDate(2028, 2, 1), 29, 6}, {QDate(2026, 4, 1), 30, 5}, {QDate(2026, 11, 1), 30, 1}}) {
        const IndividualSheet sheet = BuildIndividualSheet(TableStore(folder.path()), "0002", month);
        QCOMPARE(sheet.days.size(), days);
        QCOMPARE(sheet.days[firstSunday - 1].weekday, "日");
        QCOMPARE(sheet.days[firstSunday - 1].background, std::optional<Rgb>(kSundayColor));
        QCOMPARE(sheet.days[(firstSunday + 5) % 7].background, std::optional<Rgb>(kSaturdayColor));
        QCOMPARE(sheet.days[firstSunday].background, std::optional<Rgb>());
        QCOMPARE(sheet.totalText, "0:00");
    }
}

void TestSheetContent::staffSheet() {
    TempAppFolder folder;
    writeShop(folder, {clockRow("0002", "2026/12/05 5:00:00", "2026/12/05 20:00", "1", "0"),
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

void TestSheetContent::unitPrice() {
    const std::pair<const char*, std::optional<double>> rows[] = {
        {"1500", 1500}, {"-5", -5}, {"1500.5", 1500.5}, {".5", 0.5}, {"5.", 5},  // numbers, fractions as they are
        {"1.2.3", {}},  {"-", {}},  {"", {}},           {".", {}},   {"15\t0", {}}};
    for (const auto& [text, price] : rows) {
        QCOMPARE(ParseUnitPrice(QString::fromUtf8(text)), price);
    }
}

QTEST_APPLESS_MAIN(TestSheetContent)
#include "tst_sheetcontent.moc"
