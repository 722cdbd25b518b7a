#include <QFile>
#include <QTest>

#include "store/cp932.h"
#include "store/utf8check.h"

using namespace tsumiki;

class TestCp932 : public QObject {
    Q_OBJECT
private slots:
    // The bytes a text is written as, and what they read back as: the same text, except for characters with a
    // second source, which read back as the code page's usual character.
    void encodesAs_data() {
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

    void encodesAs() {
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

    // Characters the code page lacks are refused where a value is written (the writer's and the user editor's
    // tests); bytes it cannot read, here.
    void undecodable_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<qsizetype>("offset");
        QTest::newRow("bad trail byte") << QByteArray("ab\x81\x20") << qsizetype(2);
        QTest::newRow("lead byte at the end") << QByteArray("abc\x82") << qsizetype(3);
        QTest::newRow("unassigned double byte") << QByteArray("x\x85\x40") << qsizetype(1);
    }

    void undecodable() {
        QFETCH(QByteArray, bytes);
        QFETCH(qsizetype, offset);
        QCOMPARE(cp932::decode(bytes).errorOffset, offset);
    }

    void utf8Detection_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("utf8");
        const QString names = QStringLiteral(
            "ID,USERNAME,KENGEN,TANKA\r\n\"0001\",\"山本\",\"ADMIN\",1200\r\n\"0002\",\"さくら\",\"\",1000\r\n");
        QTest::newRow("two names in UTF-8") << names.toUtf8() << true;
        QTest::newRow("byte-order mark alone") << QByteArray("\xEF\xBB\xBFID\r\n") << true;
        QTest::newRow("plain ASCII") << QByteArray("ID,USERNAME\r\n") << false;
        // Ambiguous, so the code page wins: one short Japanese value; Latin letters, which are also pairs of
        // half-width katakana.
        QTest::newRow("one name in UTF-8") << QStringLiteral("ID,USERNAME\r\n1,山本\r\n").toUtf8() << false;
        QTest::newRow("café in UTF-8") << QStringLiteral("MSGID,MESSAGE\r\nM01001,café\r\n").toUtf8() << false;
        // What the user editor writes for staff with half-width names, which are also UTF-8 Cyrillic and Greek.
        QTest::newRow("half-width names") << cp932::encode(QStringLiteral("ID,USERNAME,KENGEN,TANKA\r\n"
                                                                          "\"0001\",\"ﾐｷ\",\"ADMIN\",\r\n"
                                                                          "\"0002\",\"ﾅｵ\",\"\",\r\n"
                                                                          "\"0003\",\"ﾏｷ\",\"\",1000\r\n"))
                                                 .bytes
                                          << false;
        // The sample tables with Japanese text, turned into UTF-8. (As they are, they are read by the writer's and
        // the lookups' tests.)
        for (const char* file : {"コントロール.csv", "メッセージ.csv", "ユーザー.csv"}) {
            QFile f(QStringLiteral(TSUMIKI_SOURCE_DIR "/data/DB/") + QString::fromUtf8(file));
            QVERIFY(f.open(QIODevice::ReadOnly));
            QTest::newRow(file) << cp932::decode(f.readAll()).text.toUtf8() << true;
        }
    }

    void utf8Detection() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, utf8);
        QCOMPARE(cp932::looksLikeUtf8(bytes), utf8);
    }
};

QTEST_APPLESS_MAIN(TestCp932)
#include "tst_cp932.moc"
