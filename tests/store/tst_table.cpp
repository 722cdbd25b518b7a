#include <QTest>

#include "store/cp932.h"
#include "store/table.h"

using namespace tsumiki;

namespace {
// The rows of a table as "a|b|-" strings (- for Null) joined by "/", for compact comparisons.
QString rowsOf(const ParsedTable& t) {
    QStringList rows;
    for (int r = 0; r < t.rowCount(); ++r) {
        QStringList fields;
        for (int c = 0; c < t.header().size(); ++c) {
            fields << t.value(r, c).value_or(QStringLiteral("-"));
        }
        rows << fields.join(u'|');
    }
    return rows.join(u'/');
}
}  // namespace

class TestTable : public QObject {
    Q_OBJECT
private slots:
    void parse_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("rows");
        const char* rows[][3] = {
            {"quoted and bare; nothing after the last comma", "\"U1\",\"ADMIN\",1\r\nU2,,\r\n", "U1|ADMIN|1/U2|-|-"},
            {"empty quotes; short row; extra fields", "\"\",x\r\nU1\r\n1,2,3,4\r\n", "-|x|-/U1|-|-/1|2|3"},
            {"comma, doubled quote, line end inside quotes", "\"a,b\",\"say \"\"hi\"\"\",\"c\r\nd\"\r\n",
             "a,b|say \"hi\"|c\r\nd"},
            {"after a closing quote the rest of the field is kept", "\"a\"b\",x\r\n", "a\"b\"|x|-"},
            {"a stray quote ends at the line end", "E1,\"abc\"def\r\nE2,next\r\nE3,\"x\",\r\n",
             "E1|abc\"def|-/E2|next|-/E3|x|-"},
            {"a quoted field never closed runs to the end", "\"0004\",\"ab\r\n", "0004|ab\r\n|-"},
            {"bare LF, blank lines, no final line end", "1,A\n\n2,B", "1|A|-/2|B|-"},
            {"blanks are part of the value", " 1 , A \r\n", " 1 | A |-"},
        };
        for (const auto& r : rows) {
            QTest::newRow(r[0]) << QString(r[1]) << QString(r[2]);
        }
    }

    void parse() {
        QFETCH(QString, text);
        QFETCH(QString, rows);
        QCOMPARE(rowsOf(ParsedTable::parseText(QStringLiteral("ID,USERNAME,KENGEN\r\n") + text)), rows);
    }

    void header_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("header");
        QTest::newRow("letter case and blanks kept, quotes removed") << " ID ,\"UserName\",kengen\r\n"
                                                                     << QStringList{"ID", "UserName", "kengen"};
        // Many of them, so that reading a name from the wrong place would show.
        QString doubled, names;
        for (int i = 0; i < 20; ++i) {
            doubled += QStringLiteral("%1\"H\"\"%2\"").arg(i == 0 ? "" : ",").arg(i);
            names += QStringLiteral("%1H\"%2").arg(i == 0 ? "" : "|").arg(i);
        }
        QTest::newRow("doubled quotes in quoted names") << doubled + QStringLiteral("\r\n") << names.split(u'|');
    }

    void header() {
        QFETCH(QString, text);
        QFETCH(QStringList, header);
        const ParsedTable t = ParsedTable::parseText(text);
        QCOMPARE(t.header(), header);
        QCOMPARE(t.column(header[1].toUpper()), 1);
        QCOMPARE(t.column(u"TANKA"), -1);
    }

    // A table parsed in two pieces, as after an append, holds exactly the rows of the whole parsed at once.
    void extendingMatchesParsingAtOnce() {
        const QByteArray all =
            cp932::encode(QStringLiteral("ID,USERNAME,KENGEN,TANKA\r\n\"1\",\"A,\"\"b\"\"\",,5\r\n"
                                         "\"2\",\"x\r\ny\",\"ADMIN\",\r\n3,ｻｸﾗ\r\n\r\n4,\"q\"r,,\r\n"))
                .bytes;
        const ParsedTable whole = ParsedTable::parse(all);
        for (qsizetype cut = 0; cut <= all.size(); ++cut) {
            ParsedTable t = ParsedTable::parse(all.left(cut));
            const ParsedTable before = t;
            t.extend(QByteArrayView(all).sliced(cut));
            QCOMPARE(rowsOf(t), rowsOf(whole));
            QCOMPARE(t.bytes(), all);
            QCOMPARE(t.grewFrom(before), before.ending() == ParsedTable::Ending::LineEnd);
        }
        QVERIFY(!whole.grewFrom(ParsedTable::parse(all.left(30) + "!")));
    }
};

QTEST_APPLESS_MAIN(TestTable)
#include "tst_table.moc"
