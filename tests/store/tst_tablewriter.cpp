// The one writer of table files: what it writes reads back, whatever a person types, and the sample tables are
// written byte for byte as they are.
#include <QFile>
#include <QTest>

#include <random>

#include "store/cp932.h"
#include "store/tablefile.h"
#include "store/tablestore.h"
#include "store/tablewriter.h"

using namespace tsumiki;

namespace {

// Every character of the code page: the double-byte ones (user-defined area included), then the single bytes
// beyond ASCII (half-width katakana and the few odd ones).
struct CodePage {
    QList<QChar> doubleByte;
    QList<QChar> singleByte;
    CodePage() {
        for (unsigned code = 0x80; code <= 0xFCFC; ++code) {
            QByteArray bytes;
            if (code > 0xFF) {
                bytes.append(char(code >> 8));
            }
            bytes.append(char(code & 0xFF));
            const cp932::Decoded d = cp932::decode(bytes);
            if (d.errorOffset < 0 && d.text.size() == 1) {
                (code > 0xFF ? doubleByte : singleByte).append(d.text[0]);
            }
        }
    }
};

}  // namespace

class TestTableWriter : public QObject {
    Q_OBJECT

private slots:
    // Rows whose lines are not what the writer writes (edited by hand, or by another program) are written field
    // by field among the lines taken as they lie: the result is what writing every row field by field gives, and
    // it reads back.
    void rowsOfAnyFileAreWrittenAsTheyRead_data() {
        QTest::addColumn<QByteArray>("rows");
        QTest::newRow("bare field in a quoted column") << QByteArray(
            "\"0001\",\"a\",\"b\",\"1\",\"0\"\r\n0002,\"c\",\"d\",\"2\",\"0\"\r\n\"0003\",\"e\",\"f\",\"1\",\"1\"\r\n");
        QTest::newRow("doubled quote and text after the closing quote")
            << QByteArray("\"0001\",\"a\"\"b\",\"x\"y,\"1\",\"0\"\r\n\"0002\",\"c\",\"d\",\"2\",\"0\"\r\n");
        QTest::newRow("comma and line end inside quotes")
            << QByteArray("\"0001\",\"a,b\",\"c\r\nd\",\"1\",\"0\"\r\n\"0002\",\"c\",\"d\",\"2\",\"0\"\r\n");
        QTest::newRow("LF and CR line ends, blank lines") << QByteArray(
            "\"0001\",\"a\",\"b\",\"1\",\"0\"\n\r\n\r\n\"0002\",\"c\",\"d\",\"2\",\"0\"\r\"0003\",\"e\",\"f\",\"1\","
            "\"1\"\r\n");
        QTest::newRow("fields missing and beyond the header") << QByteArray(
            "\"0001\",\"a\"\r\n\"0002\",\"c\",\"d\",\"2\",\"0\",\"extra\"\r\n\"0003\",\"e\",\"f\",\"1\",\"1\"\r\n");
        QTest::newRow("last line without its line end")
            << QByteArray("\"0001\",\"a\",\"b\",\"1\",\"0\"\r\n\"0002\",\"c\",\"d\",\"2\",\"0\"");
    }

    void rowsOfAnyFileAreWrittenAsTheyRead() {
        QFETCH(QByteArray, rows);
        const ParsedTable file = ParsedTable::parse("USERID,INPUTTIME,TIMEPRINT,ST,DOUHAN\r\n" + rows);
        TableWriter fieldByField(Table::Clock);
        std::vector<QByteArrayView> fields(5);
        for (int r = 0; r < file.rowCount(); ++r) {
            file.rawRow(r, fields.data());
            fieldByField.addStored(fields.data());
        }
        TableWriter taken(Table::Clock);
        QVERIFY(taken.takesRowsOf(file));
        taken.addRowsOf(file, 0, file.rowCount());
        QCOMPARE(taken.bytes(), fieldByField.bytes());
        QVERIFY(!taken.checkReadsBack(QStringLiteral("t.csv")));
        const ParsedTable reread = ParsedTable::parse(taken.bytes());
        QCOMPARE(reread.rowCount(), file.rowCount());
        for (int r = 0; r < file.rowCount(); ++r) {
            for (int c = 0; c < 5; ++c) {
                QCOMPARE(reread.raw(r, c), file.raw(r, c));
            }
        }
    }

    // Lines taken as they lie still count when the check decides the encoding: code page 932 text whose bytes
    // spell Japanese UTF-8 in one value reads as code page 932, and a second such value, written field by field,
    // would make the whole file read as UTF-8.
    void linesTakenAsTheyLieCountInTheEncoding() {
        const QByteArray looksUtf8 = QByteArray("\xE5\xB1\xB1\xE6\x9C\xAC");  // 螻ｱ譛ｬ, or 山本 in UTF-8
        const ParsedTable file =
            ParsedTable::parse("ID,USERNAME,KENGEN,TANKA\r\n\"0001\",\"" + looksUtf8 + "\",\"\",1000\r\n");
        TableWriter writer(Table::User);
        writer.addRowsOf(file, 0, 1);
        QVERIFY(!writer.checkReadsBack(QStringLiteral("t.csv")));
        const QByteArrayView second[] = {"0002", looksUtf8, {}, "1200"};
        writer.addStored(second);
        const WriteResult refused = writer.checkReadsBack(QStringLiteral("t.csv"));
        QVERIFY(refused);
        QCOMPARE(refused->kind, WriteError::Kind::WouldNotReadBack);
    }

    // Values drawn from the whole code page, as a person types them: runs of single-byte characters (half-width
    // katakana and the odd ones), of ASCII (the characters that need quoting included) and of kanji and other
    // double-byte characters, alone or mixed, one to many rows, in every table. Each double-byte character appears
    // at least once. No save of them is ever refused, since a read gives each back, and the saved file written again
    // as its lines lie is the same file.
    void whatAPersonTypesReadsBack() {
        const CodePage page;
        QVERIFY(page.doubleByte.size() > 9000 && page.singleByte.size() == 68);
        const QString ascii = QStringLiteral("0123456789ABCZabcz ,\"\r\n-./:!");
        const std::pair<QList<QChar>, int> alphabets[] = {
            {page.singleByte, 8}, {QList<QChar>(ascii.begin(), ascii.end()), 6}, {page.doubleByte, 4}};
        std::mt19937 random(20261207);
        auto pick = [&](int n) { return int(random() % unsigned(n)); };
        auto value = [&](int kinds) {
            QString text;
            for (int segments = 1 + pick(4); segments > 0; --segments) {
                const auto& [from, longest] = alphabets[pick(kinds)];
                for (int k = 1 + pick(longest); k > 0; --k) {
                    text += from[pick(int(from.size()))];
                }
            }
            return text;
        };
        // Single-byte characters and ASCII alone (the names of a shop's staff), then with everything else.
        for (qsizetype i = 0; i < page.doubleByte.size() + 3000; ++i) {
            const Table table = Table(i % 4);
            QList<QList<Value>> rows;
            for (int r = 1 + pick(i % 3 == 0 ? 40 : 6); r > 0; --r) {
                QList<Value> row;
                for (qsizetype c = 0; c < schemaOf(table).columns.size(); ++c) {
                    row.append(pick(5) == 0 ? QString() : value(i < 3000 ? 1 + int(i % 2) : 3));
                }
                rows.append(row);
            }
            if (i >= 3000) {
                rows[0][1] = QString(page.doubleByte[i - 3000]) + *rows[0][1];
            }
            TableWriter writer(table);
            for (const QList<Value>& row : rows) {
                QVERIFY(!writer.addValues(row));
            }
            const WriteResult refused = writer.checkReadsBack(QStringLiteral("t.csv"));
            QVERIFY2(!refused, qPrintable(refused ? refused->message + u' ' + writer.bytes().toHex() : QString()));
            const ParsedTable parsed = parseTableFile(table, writer.bytes(), QStringLiteral("t.csv"));
            QCOMPARE(parsed.rowCount(), rows.size());
            for (int r = 0; r < rows.size(); ++r) {
                for (int c = 0; c < rows[r].size(); ++c) {
                    QCOMPARE(parsed.value(r, c), rows[r][c]->isEmpty() ? Value() : rows[r][c]);
                }
            }
            TableWriter again(table);
            QVERIFY(again.takesRowsOf(parsed));
            again.addRowsOf(parsed, 0, parsed.rowCount());
            QCOMPARE(again.bytes(), writer.bytes());
            QVERIFY(!again.checkReadsBack(QStringLiteral("t.csv")));
        }
    }

    void sampleTablesAreWrittenAsTheyAre_data() {
        QTest::addColumn<int>("table");
        for (Table t : {Table::Control, Table::User, Table::Message, Table::Clock}) {
            QTest::newRow(schemaOf(t).fileName.toUtf8()) << int(t);
        }
    }

    // The shipped sample folder, read and written again by the writer, is byte for byte the same: the historical
    // quoting of every table.
    void sampleTablesAreWrittenAsTheyAre() {
        QFETCH(int, table);
        const Table t = Table(table);
        const TableStore sample(QStringLiteral(TSUMIKI_SOURCE_DIR "/data"));
        const TablePtr parsed = sample.read(t);
        QVERIFY(parsed->rowCount() > 0);
        TableWriter writer(t);
        for (int r = 0; r < parsed->rowCount(); ++r) {
            QList<Value> row;
            for (int c = 0; c < parsed->header().size(); ++c) {
                row << parsed->value(r, c);
            }
            QVERIFY(!writer.addValues(row));
        }
        QFile original(sample.pathOf(t));
        QVERIFY(original.open(QIODevice::ReadOnly));
        QCOMPARE(writer.bytes(), original.readAll());
    }

    void unencodableValueNamesTheCharacter_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("named");
        QTest::newRow("hangul") << QStringLiteral("새") << QStringLiteral("「새」(U+C0C8)");
        QTest::newRow("emoji, a surrogate pair") << QStringLiteral("a🍣") << QStringLiteral("「🍣」(U+1F363)");
        QTest::newRow("a lone surrogate") << QString(QChar(0xD800)) + u'x' << QStringLiteral("（壊れた文字 U+D800）");
    }

    void unencodableValueNamesTheCharacter() {
        QFETCH(QString, value);
        QFETCH(QString, named);
        TableWriter writer(Table::Message);
        const auto refused = writer.addValues({QStringLiteral("M01001"), value});
        QVERIFY(refused);
        QCOMPARE(refused->column, 1);
        QCOMPARE(refused->character, named);
        QCOMPARE(writer.rowCount(), 0);
    }
};

QTEST_APPLESS_MAIN(TestTableWriter)
#include "tst_tablewriter.moc"
