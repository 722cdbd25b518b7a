#include <QTest>

#include "store/table.h"

using namespace tsumiki;

namespace {
// The rows of a parsed text as "a|b|<null>" strings, for compact comparisons.
QStringList rowsOf(const QString& text) {
    const ParsedTable t = ParsedTable::parseText(text);
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
    void headerIgnoresLetterCase();
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
    QTest::newRow("stray quote inside a quoted field is kept")
        << h + QStringLiteral("\"a\"b\",x\r\n") << QStringList{QStringLiteral("a\"b|x|<null>|<null>")};
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
    QCOMPARE(rowsOf(text), rows);
}

void TestTable::headerIgnoresLetterCase() {
    const ParsedTable t = ParsedTable::parseText(QStringLiteral("ID,UserName,kengen\r\n1,A,ADMIN\r\n"));
    QCOMPARE(t.value(0, t.column(u"KENGEN")), Value(QStringLiteral("ADMIN")));
    QCOMPARE(t.value(0, t.column(u"Kengen")), Value(QStringLiteral("ADMIN")));
    QCOMPARE(t.column(u"USERNAME"), 1);
    QCOMPARE(t.column(u"TANKA"), -1);
    QCOMPARE(t.value(0, t.column(u"TANKA")), Value());
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
