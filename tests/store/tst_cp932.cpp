#include <QFile>
#include <QStringDecoder>
#include <QTest>

#include "store/cp932.h"
#include "store/tablestore.h"

using namespace tsumiki;

namespace {
// Every double-byte character of the code page, user-defined area included.
QList<QByteArray> doubleByteCharacters() {
    QList<QByteArray> out;
    for (unsigned code = 0x8140; code <= 0xFCFC; ++code) {
        const char pair[2] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
        const QByteArray bytes(pair, 2);
        const cp932::Decoded d = cp932::decode(bytes);
        if (d.errorOffset < 0 && d.text.size() == 1) {
            out.append(bytes);
        }
    }
    return out;
}

bool validUtf8(const QByteArray& bytes, bool complete) {
    QStringDecoder decoder(QStringDecoder::Utf8,
                           complete ? QStringDecoder::Flag::Stateless : QStringDecoder::Flag::Default);
    (void)decoder.decode(bytes);
    return !decoder.hasError();
}

// A message table whose only value is the bytes, read as the store reads a file; the value must come back.
void checkReadsBack(const QByteArray& value) {
    const QByteArray file = "MSGID,MESSAGE\r\nK," + value + "\r\n";
    const ParsedTable t = parseTableFile(Table::Message, file, QStringLiteral("m.csv"));
    QCOMPARE(t.rowCount(), 1);
    QCOMPARE(t.raw(0, 1), QByteArrayView(value));
}
}  // namespace

class TestCp932 : public QObject {
    Q_OBJECT
private slots:
    void encodesAs_data();
    void encodesAs();
    void refused_data();
    void refused();
    void utf8Detection_data();
    void utf8Detection();
    void everyDoubleByteTextReadsBack();
};

// The bytes a text is written as, and what they read back as: the same text, except for characters with a
// second source, which read back as the code page's usual character.
void TestCp932::encodesAs_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("readBack");
    auto same = [](const char* name, const QString& text, const QByteArray& bytes) {
        QTest::newRow(name) << text << bytes << text;
    };
    same("wave dash is U+FF5E, full-width minus U+FF0D", QStringLiteral("\uFF5E\uFF0D"), "\x81\x60\x81\x7C");
    same("backslash; trail byte 0x5C", QStringLiteral("\\ソ"), "\x5C\x83\x5C");
    same("half-width katakana", QStringLiteral("ｱﾞ"), "\xB1\xDE");
    same("user-defined area", QStringLiteral("\uE000\uE0BC"), "\xF0\x40\xF1\x40");
    same("single bytes as Windows reads them", QStringLiteral("\u0080\uF8F0\uF8F1\uF8F2\uF8F3"),
         "\x80\xA0\xFD\xFE\xFF");
    same("approximately equal: JIS row over NEC row", QStringLiteral("\u2252"), "\x81\xE0");
    same("roman numeral one: NEC row over IBM", QStringLiteral("\u2160"), "\x87\x54");
    same("small roman one: IBM over NEC-selected", QStringLiteral("\u2170"), "\xFA\x40");
    QTest::newRow("wave dash, double bar, minus, cent, pound, not from other input methods")
        << QStringLiteral("\u301C\u2016\u2212\u00A2\u00A3\u00AC")
        << QByteArray("\x81\x60\x81\x61\x81\x7C\x81\x91\x81\x92\x81\xCA")
        << QStringLiteral("\uFF5E\u2225\uFF0D\uFFE0\uFFE1\uFFE2");
}

void TestCp932::encodesAs() {
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, readBack);
    const cp932::Encoded e = cp932::encode(text);
    QCOMPARE(e.errorIndex, -1);
    QCOMPARE(e.bytes, bytes);
    const cp932::Decoded d = cp932::decode(bytes);
    QCOMPARE(d.errorOffset, -1);
    QCOMPARE(d.text, readBack);
}

void TestCp932::refused_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<qsizetype>("index");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qsizetype>("offset");
    QTest::newRow("o with umlaut; bad trail byte")
        << QStringLiteral("abö") << qsizetype(2) << QByteArray("ab\x81\x20") << qsizetype(2);
    QTest::newRow("emoji; lead byte at the end")
        << QStringLiteral("寿司🍣") << qsizetype(2) << QByteArray("abc\x82") << qsizetype(3);
    QTest::newRow("hangul; unassigned double byte")
        << QStringLiteral("\uD55C") << qsizetype(0) << QByteArray("x\x85\x40") << qsizetype(1);
}

void TestCp932::refused() {
    QFETCH(QString, text);
    QFETCH(qsizetype, index);
    QFETCH(QByteArray, bytes);
    QFETCH(qsizetype, offset);
    QCOMPARE(cp932::encode(text).errorIndex, index);
    QCOMPARE(cp932::decode(bytes).errorOffset, offset);
}

void TestCp932::utf8Detection_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("utf8");
    const QString names = QStringLiteral(
        "ID,USERNAME,KENGEN,TANKA\r\n\"0001\",\"山田太郎\",\"ADMIN\",1200\r\n\"0002\",\"さくら\",\"\",1000\r\n"
        "\"0003\",\"佐藤みゆき\",\"\",1100\r\n");
    QTest::newRow("names in UTF-8") << names.toUtf8() << true;
    QTest::newRow("names in UTF-8 with byte-order mark") << "\xEF\xBB\xBF" + names.toUtf8() << true;
    QTest::newRow("names in code page 932") << cp932::encode(names).bytes << false;
    QTest::newRow("café in UTF-8") << QStringLiteral("MSGID,MESSAGE\r\nM01001,café\r\n").toUtf8() << true;
    QTest::newRow("25°C in UTF-8") << QStringLiteral("MSGID,MESSAGE\r\nM01001,25°C\r\n").toUtf8() << true;
    QTest::newRow("byte-order mark alone") << QByteArray("\xEF\xBB\xBFID\r\n") << true;
    QTest::newRow("plain ASCII") << QByteArray("ID,USERNAME\r\n") << false;
    for (const QString& name : {QStringLiteral("凜子"), QStringLiteral("槇田"), QStringLiteral("遙子"),
                                QStringLiteral("熙子"), QStringLiteral("齊田")}) {
        QTest::newRow(qPrintable(name + QStringLiteral(" in code page 932")))
            << cp932::encode(QStringLiteral("ID,USERNAME\r\n\"1\",\"%1\"\r\n").arg(name)).bytes << false;
    }
    for (const char* file : {"コントロール.csv", "メッセージ.csv", "ユーザー.csv", "個人出退勤時間.csv"}) {
        QFile f(QStringLiteral(TSUMIKI_SOURCE_DIR "/data/DB/") + QString::fromUtf8(file));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QTest::newRow(file) << bytes << false;
        if (!cp932::isAscii(bytes)) {
            QTest::newRow(QByteArray(file) + " in UTF-8") << cp932::decode(bytes).text.toUtf8() << true;
        }
    }
}

void TestCp932::utf8Detection() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, utf8);
    QCOMPARE(cp932::looksLikeUtf8(bytes), utf8);
}

// Every value the store writes must read back: each double-byte character alone and between ASCII letters, each
// one paired with others, every pair that could also be UTF-8, and runs of up to seven built to stay UTF-8.
void TestCp932::everyDoubleByteTextReadsBack() {
    const QList<QByteArray> all = doubleByteCharacters();
    QVERIFY2(all.size() > 9000, QByteArray::number(all.size()).constData());
    // A pair is UTF-8 only as a three-byte sequence and an ASCII byte, or as one four-byte sequence.
    QList<QByteArray> threeByteLeads, fourByteLeads, asciiEnded, continuations;
    for (const QByteArray& c : all) {
        const auto lead = static_cast<unsigned char>(c[0]);
        const auto trail = static_cast<unsigned char>(c[1]);
        if (trail >= 0x80 && trail <= 0xBF) {
            if (lead >= 0xE0 && lead <= 0xEF) {
                threeByteLeads.append(c);
            } else if (lead >= 0xF0 && lead <= 0xF4) {
                fourByteLeads.append(c);
            } else if (lead <= 0xBF) {
                continuations.append(c);
            }
        } else if (lead <= 0xBF && trail < 0x80) {
            asciiEnded.append(c);
        }
    }
    for (qsizetype i = 0; i < all.size(); ++i) {
        checkReadsBack(all[i]);
        checkReadsBack("a" + all[i] + "z");
        checkReadsBack(all[i] + all[(i * 7919 + 13) % all.size()]);
    }
    QByteArray file("MSGID,MESSAGE\r\nK,a....\r\n");
    const qsizetype at = file.indexOf("....");
    for (const auto& [leads, follows] : {std::pair{&threeByteLeads, &asciiEnded}, {&fourByteLeads, &continuations}}) {
        for (const QByteArray& x : *leads) {
            for (const QByteArray& y : *follows) {
                file.replace(at, 4, x + y);
                QVERIFY2(!cp932::looksLikeUtf8(file), (x + y).toHex().constData());
            }
        }
    }
    quint32 seed = 1;
    for (const QByteArray& x : threeByteLeads) {
        QByteArray run = x;
        for (int length = 2; length <= 7; ++length) {
            seed = seed * 1664525U + 1013904223U;
            for (qsizetype k = 0; k < all.size(); ++k) {
                const QByteArray& next = all[(seed + k) % all.size()];
                if (validUtf8(run + next, false)) {
                    run += next;
                    break;
                }
            }
            if (validUtf8(run, true)) {
                checkReadsBack(run);
            }
        }
    }
}

QTEST_APPLESS_MAIN(TestCp932)
#include "tst_cp932.moc"
