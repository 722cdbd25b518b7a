#include <QTest>

#include "store/cp932.h"
#include "store/table.h"

using namespace tsumiki;

namespace {
// The rows of a parsed text as "a|b|<null>" strings, for compact comparisons.
QStringList rowsOf(const ParsedTable& t) {
    QStringList out;
    for (int r = 0; r < t.rowCount(); ++r) {
        QStringList fields;
        for (int c = 0; c < t.header().size(); ++c) {
            fields << t.value(r, c).value_or(QStringLiteral("<null>"));
        }
        out << fields.join(u'|');
    }
    return out;
}
}  // namespace

class TestTable : public QObject {
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
    void header_data();
    void header();
    void extendingMatchesParsingAtOnce();
    void formatRow_data();
    void formatRow();
    void formattedValuesReadBack_data();
    void formattedValuesReadBack();
};

void TestTable::parse_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("rows");
    const QString h = QStringLiteral("ID,USERNAME,KENGEN,TANKA\r\n");
    QTest::newRow("quoted and bare") << h + QStringLiteral("\"U1\",\"ABC\",\"ADMIN\",1200\r\n")
                                     << QStringList{QStringLiteral("U1|ABC|ADMIN|1200")};
    QTest::newRow("nothing after the last comma is Null")
        << h + QStringLiteral("\"U1\",\"ABC\",\"ADMIN\",\r\n") << QStringList{QStringLiteral("U1|ABC|ADMIN|<null>")};
    QTest::newRow("empty quotes are Null")
        << h + QStringLiteral("\"U1\",\"ABC\",\"\",\r\n") << QStringList{QStringLiteral("U1|ABC|<null>|<null>")};
    QTest::newRow("short row padded with Null")
        << h + QStringLiteral("U1,ABC\r\n") << QStringList{QStringLiteral("U1|ABC|<null>|<null>")};
    QTest::newRow("extra fields ignored")
        << h + QStringLiteral("U1,ABC,,5,6,7\r\n") << QStringList{QStringLiteral("U1|ABC|<null>|5")};
    QTest::newRow("comma and doubled quote inside quotes")
        << h + QStringLiteral("\"a,b\",\"say \"\"hi\"\"\",,\r\n")
        << QStringList{QStringLiteral("a,b|say \"hi\"|<null>|<null>")};
    QTest::newRow("line end inside quotes")
        << h + QStringLiteral("\"a\r\nb\",x\r\n") << QStringList{QStringLiteral("a\r\nb|x|<null>|<null>")};
    QTest::newRow("after a closing quote the rest of the field is kept as written")
        << h + QStringLiteral("\"a\"b\",x\r\n") << QStringList{QStringLiteral("a\"b\"|x|<null>|<null>")};
    QTest::newRow("a stray quote ends at the line end")
        << h + QStringLiteral("E1,\"abc\"def\r\nE2,next\r\nE3,\"x\",\r\n")
        << QStringList{QStringLiteral("E1|abc\"def|<null>|<null>"), QStringLiteral("E2|next|<null>|<null>"),
                       QStringLiteral("E3|x|<null>|<null>")};
    QTest::newRow("a quoted field never closed runs to the end")
        << h + QStringLiteral("\"0004\",\"ab\r\n") << QStringList{QStringLiteral("0004|ab\r\n|<null>|<null>")};
    QTest::newRow("missing final line end")
        << h + QStringLiteral("1,A\r\n2,B")
        << QStringList{QStringLiteral("1|A|<null>|<null>"), QStringLiteral("2|B|<null>|<null>")};
    QTest::newRow("bare LF and blank lines")
        << QStringLiteral("ID,USERNAME,KENGEN,TANKA\n1,A\n\n2,B\n")
        << QStringList{QStringLiteral("1|A|<null>|<null>"), QStringLiteral("2|B|<null>|<null>")};
    QTest::newRow("blanks are part of the value")
        << h + QStringLiteral(" 1 , A \r\n") << QStringList{QStringLiteral(" 1 | A |<null>|<null>")};
    QTest::newRow("header only") << h << QStringList{};
}

void TestTable::parse() {
    QFETCH(QString, text);
    QFETCH(QStringList, rows);
    QCOMPARE(rowsOf(ParsedTable::parseText(text)), rows);
}

void TestTable::header_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("header");
    QTest::newRow("letter case and blanks kept, quotes removed")
        << QStringLiteral(" ID ,\"UserName\",kengen\r\n") << QStringList{"ID", "UserName", "kengen"};
    // Many of them, so that reading a name from the wrong place would show.
    QString doubled, names;
    for (int i = 0; i < 20; ++i) {
        doubled += QStringLiteral("%1\"H\"\"%2\"").arg(i == 0 ? "" : ",").arg(i);
        names += QStringLiteral("%1H\"%2").arg(i == 0 ? "" : "|").arg(i);
    }
    QTest::newRow("doubled quotes in quoted names") << doubled + QStringLiteral("\r\n") << names.split(u'|');
}

void TestTable::header() {
    QFETCH(QString, text);
    QFETCH(QStringList, header);
    const ParsedTable t = ParsedTable::parseText(text);
    QCOMPARE(t.header(), header);
    QCOMPARE(t.column(header[1].toUpper()), 1);
    QCOMPARE(t.column(u"TANKA"), -1);
    QCOMPARE(t.value(0, t.column(u"TANKA")), Value());
}

// A table parsed in two pieces, as after an append, holds exactly the rows of the whole parsed at once.
void TestTable::extendingMatchesParsingAtOnce() {
    const QByteArray all = cp932::encode(QStringLiteral("ID,USERNAME,KENGEN,TANKA\r\n\"1\",\"A,\"\"b\"\"\",,5\r\n"
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

void TestTable::formatRow_data() {
    QTest::addColumn<int>("table");
    QTest::addColumn<QList<Value>>("values");
    QTest::addColumn<QString>("line");
    QTest::newRow("control: all quoted") << int(Table::Control)
                                         << QList<Value>{QStringLiteral("CTL0003"), QStringLiteral("05:00"), {}, {}, {}}
                                         << QStringLiteral("\"CTL0003\",\"05:00\",\"\",\"\",\"\"");
    QTest::newRow("user: TANKA bare, empty KENGEN as empty quotes")
        << int(Table::User) << QList<Value>{QStringLiteral("U1"), QStringLiteral("ABC"), {}, QStringLiteral("1200")}
        << QStringLiteral("\"U1\",\"ABC\",\"\",1200");
    QTest::newRow("message: bare") << int(Table::Message)
                                   << QList<Value>{QStringLiteral("M01001"), QStringLiteral("おはよう")}
                                   << QStringLiteral("M01001,おはよう");
    QTest::newRow("message with a comma is quoted")
        << int(Table::Message) << QList<Value>{QStringLiteral("M01001"), QStringLiteral("a,b")}
        << QStringLiteral("M01001,\"a,b\"");
    QTest::newRow("quote doubled") << int(Table::Clock)
                                   << QList<Value>{QStringLiteral("a\"b"), {}, {}, QStringLiteral("1"), {}}
                                   << QStringLiteral("\"a\"\"b\",\"\",\"\",\"1\",\"\"");
}

void TestTable::formatRow() {
    QFETCH(int, table);
    QFETCH(QList<Value>, values);
    QFETCH(QString, line);
    QCOMPARE(tsumiki::formatRow(schemaOf(Table(table)), values), line);
}

void TestTable::formattedValuesReadBack_data() {
    QTest::addColumn<int>("table");
    QTest::addColumn<QString>("value");
    for (Table t : {Table::Message, Table::Clock}) {
        const QByteArray name = schemaOf(t).fileName.toUtf8();
        QTest::newRow(name + ": comma") << int(t) << QStringLiteral("a,b");
        QTest::newRow(name + ": quotes") << int(t) << QStringLiteral("\"quoted\" and \"\"");
        QTest::newRow(name + ": CR LF") << int(t) << QStringLiteral("line1\r\nline2");
        QTest::newRow(name + ": bare CR and LF") << int(t) << QStringLiteral("a\rb\nc");
        QTest::newRow(name + ": leading quote") << int(t) << QStringLiteral("\"x");
    }
}

void TestTable::formattedValuesReadBack() {
    QFETCH(int, table);
    QFETCH(QString, value);
    const TableSchema& schema = schemaOf(Table(table));
    const QList<Value> row{QStringLiteral("K"), value};
    const QString text = schema.columns.join(u',') + QStringLiteral("\r\n") + tsumiki::formatRow(schema, row) +
                         QStringLiteral("\r\n") + tsumiki::formatRow(schema, row) + QStringLiteral("\r\n");
    const ParsedTable t = ParsedTable::parseText(text);
    QCOMPARE(t.rowCount(), 2);
    QCOMPARE(t.value(1, 1), Value(value));
    QCOMPARE(t.value(1, 0), Value(QStringLiteral("K")));
}

QTEST_APPLESS_MAIN(TestTable)
#include "tst_table.moc"
