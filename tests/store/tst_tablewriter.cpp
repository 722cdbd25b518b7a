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

const TableSchema& schemaAt(int i) {
    static const Table tables[] = {Table::Control, Table::User, Table::Message, Table::Clock};
    return schemaOf(tables[i % 4]);
}

}  // namespace

class TestTableWriter : public QObject {
    Q_OBJECT

    // Writes the rows with a fresh writer of the table and reads them back as a read of the file would.
    static void checkRoundTrip(Table table, const QList<QList<Value>>& rows) {
        TableWriter writer(table);
        for (const QList<Value>& row : rows) {
            QVERIFY(!writer.addValues(row));
        }
        const WriteResult refused = writer.checkReadsBack(QStringLiteral("t.csv"));
        QVERIFY2(!refused, qPrintable(refused ? refused->message + u' ' + QString::fromLatin1(writer.bytes().toHex())
                                              : QString()));
        const ParsedTable parsed = parseTableFile(table, writer.bytes(), QStringLiteral("t.csv"));
        QCOMPARE(parsed.rowCount(), rows.size());
        for (int r = 0; r < rows.size(); ++r) {
            for (int c = 0; c < rows[r].size(); ++c) {
                QCOMPARE(parsed.value(r, c), rows[r][c]->isEmpty() ? Value() : rows[r][c]);
            }
        }
    }

private slots:
    // Values drawn from the whole code page, as a person types them: runs of half-width katakana, of kanji and
    // other double-byte characters and of ASCII (the characters that need quoting included), alone or mixed, one
    // to many rows, in every table. Each double-byte character appears at least once. No save of them is ever
    // refused, since a read gives each back.
    void whatAPersonTypesReadsBack() {
        const CodePage page;
        QVERIFY(page.doubleByte.size() > 9000 && page.singleByte.size() == 68);
        const QString ascii = QStringLiteral("0123456789ABCZabcz ,\"\r\n-./:!");
        std::mt19937 random(20261207);
        auto pick = [&](int n) { return int(random() % unsigned(n)); };
        auto run = [&](const QList<QChar>& from, int longest) {
            QString text;
            for (int k = 1 + pick(longest); k > 0; --k) {
                text += from[pick(int(from.size()))];
            }
            return text;
        };
        QList<QChar> asciiChars(ascii.begin(), ascii.end());
        QList<QChar> halfWidth;
        for (char16_t c = 0xFF61; c <= 0xFF9F; ++c) {
            halfWidth.append(QChar(c));
        }
        auto value = [&](int kinds) {
            QString text;
            for (int segments = 1 + pick(4); segments > 0; --segments) {
                switch (pick(kinds)) {
                    case 0:
                        text += run(halfWidth, 8);
                        break;
                    case 1:
                        text += run(asciiChars, 6);
                        break;
                    case 2:
                        text += run(page.singleByte, 3);
                        break;
                    default:
                        text += run(page.doubleByte, 4);
                        break;
                }
            }
            return text;
        };
        // Half-width katakana and ASCII alone (the names of a shop's staff), then with everything else.
        const qsizetype tables = page.doubleByte.size() + 3000;
        for (qsizetype i = 0; i < tables; ++i) {
            const int kinds = i < 3000 ? (i % 2 == 0 ? 1 : 2) : 4;
            const TableSchema& schema = schemaAt(int(i));
            QList<QList<Value>> rows;
            for (int r = 1 + pick(i % 3 == 0 ? 40 : 6); r > 0; --r) {
                QList<Value> row;
                for (qsizetype c = 0; c < schema.columns.size(); ++c) {
                    row.append(pick(5) == 0 ? QString() : value(kinds));
                }
                rows.append(row);
            }
            if (i >= 3000) {
                rows[0][1] = QString(page.doubleByte[i - 3000]) + *rows[0][1];
            }
            checkRoundTrip(Table(i % 4), rows);
            if (QTest::currentTestFailed()) {
                return;
            }
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
