#include <QTest>

#include <algorithm>
#include <numeric>

#include "store/queries.h"

using namespace tsumiki;

namespace {
TablePtr table(const char* text) {
    return std::make_shared<const ParsedTable>(ParsedTable::parseText(QString::fromUtf8(text)));
}

QStringList column(const QList<Record>& rows, QStringView name) {
    QStringList out;
    for (const Record& r : rows) {
        out << r.value(name).value_or(QStringLiteral("-"));
    }
    return out;
}

const char* const kUsers =
    "ID,USERNAME,KENGEN,TANKA\r\n\"001\",\"A\",\"ADMIN\",1000\r\n\"1\",\"B\",\"\",\r\n"
    "\"001\",\"A2\",,2000\r\n\"\",\"E\",,\r\n";
}  // namespace

class TestQueries : public QObject {
    Q_OBJECT
private slots:
    // Selecting by key compares exact text: no letter case folding, no trimming, no numeric reading. (The clock
    // rows' keys are checked through the day's times.)
    void keyedForms_data() {
        QTest::addColumn<bool>("byPrefix");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("user 001: both rows in file order") << false << "001" << QStringList{"A", "A2"};
        QTest::newRow("user 1 is not 001") << false << "1" << QStringList{"B"};
        QTest::newRow("user: no blank trimming") << false << " 1" << QStringList();
        QTest::newRow("user: empty matches nothing") << false << "" << QStringList();
        QTest::newRow("message prefix M01") << true << "M01" << QStringList{"a", "d"};
    }

    void keyedForms() {
        QFETCH(bool, byPrefix);
        QFETCH(QString, key);
        QFETCH(QStringList, found);
        const TablePtr messages =
            table("MSGID,MESSAGE\r\nM01001,a\r\nM02001,b\r\nXM01,c\r\nM01,d\r\n,e\r\nm01002,f\r\n");
        QCOMPARE(byPrefix ? column(MessagesByPrefix(messages, key), u"MESSAGE")
                          : column(UserById(table(kUsers), key), u"USERNAME"),
                 found);
    }

    void sortedForms() {
        const TablePtr messages = table("MSGID,MESSAGE\r\nM02001,a\r\nE00001,b\r\n,c\r\nM01001,d\r\nE00001,e\r\n");
        QCOMPARE(column(AllRowsByKey(messages), u"MESSAGE"), (QStringList{"c", "b", "e", "d", "a"}));
        const TablePtr clock = table(
            "USERID,INPUTTIME,TIMEPRINT,ST,DOUHAN\r\n\"9\",\"2026/12/05\",\"2026/12/05 10:00\",\"1\",\"0\"\r\n"
            "\"1\",\"2026/12/05\",\"2026/12/05 09:00\",\"1\",\"0\"\r\n\"001\",\"2026/12/04\",\"2026/12/04 "
            "09:00\",\"1\",\"0\"\r\n");
        const TablePtr users = table(kUsers);
        const ClockUserRows joined = ClockRowsWithUser(*clock, *users);
        QStringList seen;
        for (std::size_t i = 0; i < joined.clockRows.size(); ++i) {
            const int u = joined.userRows[i];
            seen << clock->value(joined.clockRows[i], 0).value_or(QString()) + u'=' +
                        (u < 0 ? QStringLiteral("-") : users->value(u, 1).value_or(QString()));
        }
        // A left join sorted by INPUTTIME, then TIMEPRINT; the user 001 has two rows, so its clock row comes twice.
        QCOMPARE(seen, (QStringList{"001=A", "001=A2", "1=B", "9=-"}));
    }

    // Rows in a scrambled order with few distinct dates and times, Null ones included: the order equals a stable
    // sort by INPUTTIME, then TIMEPRINT, in text order.
    void clockOrderIsAStableSortByDateThenTime() {
        QString text = QStringLiteral("USERID,INPUTTIME,TIMEPRINT,ST,DOUHAN\r\n");
        const QStringList dates{"", "2026/12/05", "2026/12/05 5:00:00", "2026/1/5", "2025/12/31"};
        const QStringList times{"", "2026/12/05 09:00", "2026/12/05 18:00", "9:00"};
        quint32 state = 7;
        for (int r = 0; r < 400; ++r) {
            state = state * 1103515245u + 12345u;
            text += QStringLiteral("%1,%2,%3,1,\r\n")
                        .arg(r)
                        .arg(dates[int((state >> 8) % 5)], times[int((state >> 16) % 4)]);
        }
        const ParsedTable clock = ParsedTable::parseText(text);
        const ParsedTable users = ParsedTable::parseText(QStringLiteral("ID,USERNAME,KENGEN,TANKA\r\n"));
        std::vector<int> expected(static_cast<std::size_t>(clock.rowCount()));
        std::iota(expected.begin(), expected.end(), 0);
        std::stable_sort(expected.begin(), expected.end(), [&](int a, int b) {
            const int byDate = clock.raw(a, 1).compare(clock.raw(b, 1));
            return byDate != 0 ? byDate < 0 : clock.raw(a, 2).compare(clock.raw(b, 2)) < 0;
        });
        QCOMPARE(ClockRowsWithUser(clock, users).clockRows, expected);
    }
};

QTEST_APPLESS_MAIN(TestQueries)
#include "tst_queries.moc"
