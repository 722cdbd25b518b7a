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
    // Selecting by key compares exact text: no letter case folding, no trimming, no numeric reading; sorting by key
    // puts Null first and keeps file order among equal keys. (The clock rows' keys are checked through the day's
    // times.)
    void keyedForms_data() {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("user 001: both rows in file order") << "user"
                                                           << "001" << QStringList{"A", "A2"};
        QTest::newRow("user 1 is not 001") << "user"
                                           << "1" << QStringList{"B"};
        QTest::newRow("user: no blank trimming") << "user"
                                                 << " 1" << QStringList();
        QTest::newRow("user: empty matches nothing") << "user"
                                                     << "" << QStringList();
        QTest::newRow("message prefix M01") << "prefix"
                                            << "M01" << QStringList{"a", "d", "g"};
        QTest::newRow("all messages by key") << "all"
                                             << "" << QStringList{"e", "d", "a", "g", "b", "c", "f"};
    }

    void keyedForms() {
        QFETCH(QString, form);
        QFETCH(QString, key);
        QFETCH(QStringList, found);
        const TablePtr messages =
            table("MSGID,MESSAGE\r\nM01001,a\r\nM02001,b\r\nXM01,c\r\nM01,d\r\n,e\r\nm01002,f\r\nM01001,g\r\n");
        const QList<Record> rows = form == u"user"     ? UserById(table(kUsers), key)
                                   : form == u"prefix" ? MessagesByPrefix(messages, key)
                                                       : AllRowsByKey(messages);
        QCOMPARE(column(rows, form == u"user" ? u"USERNAME" : u"MESSAGE"), found);
    }

    // Rows in a scrambled order with few distinct dates, times and user IDs, Null ones included: the order equals a
    // stable sort by INPUTTIME, then TIMEPRINT, in text order, and each row comes once per user row of its ID (an ID
    // given twice, short and long IDs), or once with -1 when no user has its ID.
    void clockRowsInDateThenTimeOrderWithTheirUsers() {
        QString text = QStringLiteral("USERID,INPUTTIME,TIMEPRINT,ST,DOUHAN\r\n");
        const QStringList dates{"", "2026/12/05", "2026/12/05 5:00:00", "2026/1/5", "2025/12/31"};
        const QStringList times{"", "2026/12/05 09:00", "2026/12/05 18:00", "9:00"};
        const QStringList ids{"", "0001", "0002", "ABCDEFGHIJ", "9999", "ABCDEFG"};
        quint32 state = 7;
        for (int r = 0; r < 400; ++r) {
            state = state * 1103515245u + 12345u;
            text += QStringLiteral("%1,%2,%3,1,\r\n")
                        .arg(ids[int((state >> 4) % 6)], dates[int((state >> 8) % 5)], times[int((state >> 16) % 4)]);
        }
        const ParsedTable clock = ParsedTable::parseText(text);
        const ParsedTable users = ParsedTable::parseText(
            QStringLiteral("ID,USERNAME,KENGEN,TANKA\r\n0001,a,,\r\nABCDEFGHIJ,b,,\r\n0002,c,,\r\n0001,d,,\r\n,e,,\r\n"
                           "ABCDEFGH,f,,\r\n"));
        std::vector<int> order(static_cast<std::size_t>(clock.rowCount()));
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            const int byDate = clock.raw(a, 1).compare(clock.raw(b, 1));
            return byDate != 0 ? byDate < 0 : clock.raw(a, 2).compare(clock.raw(b, 2)) < 0;
        });
        std::vector<int> clockRows;
        std::vector<int> userRows;
        for (const int r : order) {
            const std::size_t before = userRows.size();
            for (int u = 0; u < users.rowCount(); ++u) {
                if (!clock.isNull(r, 0) && users.raw(u, 0) == clock.raw(r, 0)) {
                    clockRows.push_back(r);
                    userRows.push_back(u);
                }
            }
            if (userRows.size() == before) {
                clockRows.push_back(r);
                userRows.push_back(-1);
            }
        }
        const ClockUserRows joined = ClockRowsWithUser(clock, users);
        QCOMPARE(joined.clockRows, clockRows);
        QCOMPARE(joined.userRows, userRows);
    }
};

QTEST_APPLESS_MAIN(TestQueries)
#include "tst_queries.moc"
