#include <QTest>

#include "store/cp932.h"

using namespace tsumiki;

class TestCp932 : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data();
    void roundTrip();
    void preferredCodeForDuplicates_data();
    void preferredCodeForDuplicates();
    void invalidBytes_data();
    void invalidBytes();
    void unencodable_data();
    void unencodable();
    void utf8Detection_data();
    void utf8Detection();
};

void TestCp932::roundTrip_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("ascii") << QStringLiteral("USERID,1") << QByteArray("USERID,1");
    QTest::newRow("wave dash is U+FF5E") << QStringLiteral("\uFF5E") << QByteArray("\x81\x60");
    QTest::newRow("circled one") << QStringLiteral("\u2460") << QByteArray("\x87\x40");
    QTest::newRow("full-width minus") << QStringLiteral("\uFF0D") << QByteArray("\x81\x7C");
    QTest::newRow("backslash stays") << QStringLiteral("\\") << QByteArray("\x5C");
    QTest::newRow("half-width katakana") << QStringLiteral("ｱﾞ") << QByteArray("\xB1\xDE");
    QTest::newRow("kanji") << QStringLiteral("勤務表") << QByteArray("\x8B\xCE\x96\xB1\x95\x5C");
    QTest::newRow("trail byte 0x5C") << QStringLiteral("ソ") << QByteArray("\x83\x5C");
    QTest::newRow("user-defined area") << QStringLiteral("\uE000\uE0BC") << QByteArray("\xF0\x40\xF1\x40");
    QTest::newRow("empty") << QString() << QByteArray();
}

void TestCp932::roundTrip() {
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    const cp932::Encoded e = cp932::encode(text);
    QCOMPARE(e.errorIndex, -1);
    QCOMPARE(e.bytes, bytes);
    const cp932::Decoded d = cp932::decode(bytes);
    QCOMPARE(d.errorOffset, -1);
    QCOMPARE(d.text, text);
}

void TestCp932::preferredCodeForDuplicates_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("approximately equal: JIS row over NEC row") << QStringLiteral("\u2252") << QByteArray("\x81\xE0");
    QTest::newRow("not sign: JIS row") << QStringLiteral("\uFFE2") << QByteArray("\x81\xCA");
    QTest::newRow("roman numeral one: NEC row over IBM") << QStringLiteral("\u2160") << QByteArray("\x87\x54");
    QTest::newRow("small roman one: IBM over NEC-selected") << QStringLiteral("\u2170") << QByteArray("\xFA\x40");
    QTest::newRow("kanji in both IBM rows") << QStringLiteral("\u7E8A") << QByteArray("\xFA\x5C");
}

void TestCp932::preferredCodeForDuplicates() {
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(cp932::encode(text).bytes, bytes);
}

void TestCp932::invalidBytes_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qsizetype>("offset");
    QTest::newRow("bad trail byte") << QByteArray("ab\x81\x20") << qsizetype(2);
    QTest::newRow("lead byte at the end") << QByteArray("abc\x82") << qsizetype(3);
    QTest::newRow("0x80") << QByteArray("\x80") << qsizetype(0);
    QTest::newRow("0xA0") << QByteArray("x\xA0") << qsizetype(1);
    QTest::newRow("unassigned double byte") << QByteArray("\x85\x40") << qsizetype(0);
}

void TestCp932::invalidBytes() {
    QFETCH(QByteArray, bytes);
    QFETCH(qsizetype, offset);
    QCOMPARE(cp932::decode(bytes).errorOffset, offset);
}

void TestCp932::unencodable_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<qsizetype>("index");
    QTest::newRow("o with umlaut") << QStringLiteral("abö") << qsizetype(2);
    QTest::newRow("emoji (surrogate pair)") << QStringLiteral("寿司🍣") << qsizetype(2);
    QTest::newRow("hangul") << QStringLiteral("\uD55C") << qsizetype(0);
    QTest::newRow("wave dash U+301C is not the file's wave dash") << QStringLiteral("\u301C") << qsizetype(0);
}

void TestCp932::unencodable() {
    QFETCH(QString, text);
    QFETCH(qsizetype, index);
    QCOMPARE(cp932::encode(text).errorIndex, index);
}

void TestCp932::utf8Detection_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("utf8");
    QTest::newRow("Japanese in UTF-8") << QStringLiteral("ID,USERNAME\r\n1,さくら\r\n").toUtf8() << true;
    QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBFID\r\n") << true;
    QTest::newRow("Japanese in code page 932") << cp932::encode(QStringLiteral("1,さくら,店長\r\n")).bytes << false;
    QTest::newRow("half-width katakana pair that is valid UTF-8 by chance") << QByteArray("\xC3\xB0") << false;
    QTest::newRow("plain ASCII") << QByteArray("ID,USERNAME\r\n") << false;
}

void TestCp932::utf8Detection() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, utf8);
    QCOMPARE(cp932::looksLikeUtf8(bytes), utf8);
}

QTEST_APPLESS_MAIN(TestCp932)
#include "tst_cp932.moc"
