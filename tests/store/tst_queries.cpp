#include <QTest>

#include <algorithm>
#include <numeric>

#include "store/queries.h"

using namespace tsumiki;

namespace {
TablePtr table(const QString& text) {
    return std::make_shared<const ParsedTable>(ParsedTable::parseText(text));
}

QStringList column(const QList<Record>& rows, QStringView name) {
    QStringList out;
    for (const Record& r : rows) {
        out << r.value(name).value_or(QStringLiteral("<null>"));
    }
    return out;
}

const QString kUsers = QStringLiteral(
    "ID,USERNAME,KENGEN,TANKA\r\n\"001\",\"A\",\"ADMIN\",1000\r\n\"1\",\"B\",\"\",\r\n\"abc\",\"C\",,\r\n"
    "\"001\",\"A2\",,2000\r\n");
}  // namespace

class TestQueries : public QObject {
    Q_OBJECT
private slots:
    void userByIdIsExactText_data();
    void userByIdIsExactText();
    void messagesByPrefix();
    void clockRowsByKindMatchesWholeInputTime_data();
    void clockRowsByKindMatchesWholeInputTime();
    void allRowsByKeySortsByFirstColumn();
    void clockRowsWithUserIsALeftJoin();
    void controlCode1KeepsNulls();
    void clockOrderIsAStableSortByDateThenTime();
};

void TestQueries::userByIdIsExactText_data() {
    QTest::addColumn<QString>("id");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("001 matches both rows in file order") << QStringLiteral("001") << QStringList{"A", "A2"};
    QTest::newRow("1 is not 001") << QStringLiteral("1") << QStringList{"B"};
    QTest::newRow("letter case counts") << QStringLiteral("ABC") << QStringList{};
    QTest::newRow("no blank trimming") << QStringLiteral(" 1") << QStringList{};
    QTest::newRow("empty matches nothing") << QString() << QStringList{};
}

void TestQueries::userByIdIsExactText() {
    QFETCH(QString, id);
    QFETCH(QStringList, names);
    QCOMPARE(column(UserById(table(kUsers), id), u"USERNAME"), names);
}

void TestQueries::messagesByPrefix() {
    const TablePtr t =
        table(QStringLiteral("MSGID,MESSAGE\r\nM01001,a\r\nM02001,b\r\nXM01,c\r\nM01,d\r\n,e\r\nm01002,f\r\n"));
    QCOMPARE(column(MessagesByPrefix(t, u"M01"), u"MESSAGE"), (QStringList{"a", "d"}));
    QCOMPARE(column(MessagesByPrefix(t, u"M02"), u"MESSAGE"), (QStringList{"b"}));
}

void TestQueries::clockRowsByKindMatchesWholeInputTime_data() {
    QTest::addColumn<QString>("inputTime");
    QTest::addColumn<QString>("st");
    QTest::addColumn<QStringList>("times");
    QTest::newRow("with time of day") << QStringLiteral("2026/12/05 5:00:00") << QStringLiteral("1")
                                      << QStringList{"2026/12/05 20:15", "2026/12/05 21:00"};
    QTest::newRow("kind 2") << QStringLiteral("2026/12/05 5:00:00") << QStringLiteral("2")
                            << QStringList{"2026/12/06 02:30"};
    QTest::newRow("bare date is another key")
        << QStringLiteral("2026/12/05") << QStringLiteral("1") << QStringList{"2026/12/05 09:00"};
    QTest::newRow("zero-padded hour is another key")
        << QStringLiteral("2026/12/05 05:00:00") << QStringLiteral("1") << QStringList{};
}

void TestQueries::clockRowsByKindMatchesWholeInputTime() {
    QFETCH(QString, inputTime);
    QFETCH(QString, st);
    QFETCH(QStringList, times);
    const TablePtr t =
        table(QStringLiteral("USERID,INPUTTIME,TIMEPRINT,ST,DOUHAN\r\n"
                             "\"7\",\"2026/12/05 5:00:00\",\"2026/12/05 20:15\",\"1\",\"1\"\r\n"
                             "\"8\",\"2026/12/05 5:00:00\",\"2026/12/05 20:00\",\"1\",\"0\"\r\n"
                             "\"7\",\"2026/12/05\",\"2026/12/05 09:00\",1,0\r\n"
                             "\"7\",\"2026/12/05 5:00:00\",\"2026/12/06 02:30\",\"2\",\r\n"
                             "\"7\",\"2026/12/05 5:00:00\",\"2026/12/05 21:00\",\"1\",\"0\"\r\n"));
    QCOMPARE(column(ClockRowsByKind(t, u"7", inputTime, st), u"TIMEPRINT"), times);
}

void TestQueries::allRowsByKeySortsByFirstColumn() {
    const TablePtr t = table(QStringLiteral("MSGID,MESSAGE\r\nM02001,a\r\nE00001,b\r\n,c\r\nM01001,d\r\nE00001,e\r\n"));
    QCOMPARE(column(AllRowsByKey(t), u"MESSAGE"), (QStringList{"c", "b", "e", "d", "a"}));
}

void TestQueries::clockRowsWithUserIsALeftJoin() {
    const TablePtr users = table(kUsers);
    const TablePtr clock =
        table(QStringLiteral("USERID,INPUTTIME,TIMEPRINT,ST,DOUHAN\r\n"
                             "\"9\",\"2026/12/05\",\"2026/12/05 10:00\",\"1\",\"0\"\r\n"
                             "\"1\",\"2026/12/05\",\"2026/12/05 09:00\",\"1\",\"0\"\r\n"
                             "\"001\",\"2026/12/04\",\"2026/12/04 09:00\",\"1\",\"0\"\r\n"));
    const QList<ClockWithUser> rows = ClockRowsWithUser(clock, users);
    QStringList seen;
    for (const ClockWithUser& r : rows) {
        seen << r.clock.value(u"USERID").value_or(QString()) + u'=' +
                    (r.user ? r.user->value(u"USERNAME").value_or(QString()) : QStringLiteral("<null>"));
    }
    // Sorted by INPUTTIME, then TIMEPRINT; the user 001 has two rows, so its clock row comes twice.
    QCOMPARE(seen, (QStringList{"001=A", "001=A2", "1=B", "9=<null>"}));
}

void TestQueries::controlCode1KeepsNulls() {
    const TablePtr t =
        table(QStringLiteral("CTLCODE,CODE1,CODE2,CODE3,COMMENT\r\n\"CTL0003\",\"05:00\",,,\r\n"
                             "\"CTL0004\",\"15\",,,\r\n\"CTL0003\",\"\",,,\r\n"));
    QCOMPARE(ControlCode1(t, u"CTL0003"), (QList<Value>{QStringLiteral("05:00"), std::nullopt}));
}

// Rows in a scrambled order with few distinct dates and times, Null ones included: the order equals a stable
// sort by INPUTTIME, then TIMEPRINT, in text order.
void TestQueries::clockOrderIsAStableSortByDateThenTime() {
    QString text = QStringLiteral("USERID,INPUTTIME,TIMEPRINT,ST,DOUHAN\r\n");
    const QStringList dates{"", "2026/12/05", "2026/12/05 5:00:00", "2026/1/5", "2025/12/31"};
    const QStringList times{"", "2026/12/05 09:00", "2026/12/05 18:00", "9:00"};
    quint32 state = 7;
    for (int r = 0; r < 400; ++r) {
        state = state * 1103515245u + 12345u;
        text +=
            QStringLiteral("%1,%2,%3,1,\r\n").arg(r).arg(dates[int((state >> 8) % 5)], times[int((state >> 16) % 4)]);
    }
    const ParsedTable clock = ParsedTable::parseText(text);
    const ParsedTable users = ParsedTable::parseText(QStringLiteral("ID,USERNAME,KENGEN,TANKA\r\n"));
    std::vector<int> expected(static_cast<std::size_t>(clock.rowCount()));
    std::iota(expected.begin(), expected.end(), 0);
    std::stable_sort(expected.begin(), expected.end(), [&](int a, int b) {
        const int byDate = clock.raw(a, 1).compare(clock.raw(b, 1));
        return byDate != 0 ? byDate < 0 : clock.raw(a, 2).compare(clock.raw(b, 2)) < 0;
    });
    QCOMPARE(ClockRowsWithUserRows(clock, users).clockRows, expected);
}

QTEST_APPLESS_MAIN(TestQueries)
#include "tst_queries.moc"
