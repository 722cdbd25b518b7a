#include <QTest>

#include "store/lookups.h"
#include "testsupport.h"

using namespace tsumiki;
using tsumiki::test::TempAppFolder;

class TestLookups : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void messageText_data();
    void messageText();
    void user_data();
    void user();
    void controlCode_data();
    void controlCode();
    void sampleDataReadsBack();

private:
    TempAppFolder folder_;
};

void TestLookups::initTestCase() {
    folder_.writeTable(Table::Message, {QStringLiteral("MSGID,MESSAGE"), QStringLiteral("E00001,古い文"),
                                        QStringLiteral("E00001,登録されていません"), QStringLiteral("E00002,"),
                                        QStringLiteral("E00003,あり"), QStringLiteral("E00003,")});
    folder_.writeTable(
        Table::User,
        {QStringLiteral("ID,USERNAME,KENGEN,TANKA"), QStringLiteral("\"A\",\"店長\",\"ADMIN\",1200"),
         QStringLiteral("\"B\",\"さくら\",\"\","), QStringLiteral("\"C\",,\"admin\",abc"),
         QStringLiteral("\"D\",\"古い\",\"ADMIN\",500"), QStringLiteral("\"D\",\"新しい\",\"\",99999999999"),
         QStringLiteral("\"E\",\"マイナス\",\"\", -300 ")});
    folder_.writeTable(Table::Control, {QStringLiteral("CTLCODE,CODE1,CODE2,CODE3,COMMENT"),
                                        QStringLiteral("\"CTL0005\",\"pw1\",\"x\",\"\",\"\""),
                                        QStringLiteral("\"CTL0005\",\"\",\"y\",\"\",\"\"")});
}

void TestLookups::messageText_data() {
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("text");
    QTest::newRow("last row wins") << QStringLiteral("E00001") << QStringLiteral("登録されていません");
    QTest::newRow("empty text falls back") << QStringLiteral("E00002") << QStringLiteral("errcode 'E00002'");
    QTest::newRow("a later empty row empties it") << QStringLiteral("E00003") << QStringLiteral("errcode 'E00003'");
    QTest::newRow("no row") << QStringLiteral("E00099") << QStringLiteral("errcode 'E00099'");
}

void TestLookups::messageText() {
    QFETCH(QString, id);
    QFETCH(QString, text);
    QCOMPARE(GetMessageText(TableStore(folder_.path()), id), text);
}

void TestLookups::user_data() {
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("authority");
    QTest::addColumn<qint32>("price");
    QTest::newRow("administrator") << "A"
                                   << "店長"
                                   << "ADMIN" << 1200;
    QTest::newRow("empty authority and price") << "B"
                                               << "さくら"
                                               << "0" << 0;
    QTest::newRow("no name, lower-case authority, price not a number") << "C"
                                                                       << ""
                                                                       << "admin" << 0;
    QTest::newRow("last row wins; price beyond 32 bits") << "D"
                                                         << "新しい"
                                                         << "0" << 0;
    QTest::newRow("blanks around a negative price") << "E"
                                                    << "マイナス"
                                                    << "0" << -300;
    QTest::newRow("no such user") << "Z"
                                  << ""
                                  << "" << 0;
    QTest::newRow("case of the ID counts") << "a"
                                           << ""
                                           << "" << 0;
}

void TestLookups::user() {
    QFETCH(QString, id);
    QFETCH(QString, name);
    QFETCH(QString, authority);
    QFETCH(qint32, price);
    const TableStore store(folder_.path());
    QCOMPARE(LookupUserName(store, id), name);
    QCOMPARE(GetUserAuthority(store, id), authority);
    QCOMPARE(GetUnitPrice(store, id), price);
}

void TestLookups::controlCode_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("value");
    QTest::newRow("later empty CODE1 keeps the earlier") << "CTL0005"
                                                         << "1"
                                                         << "pw1";
    QTest::newRow("CODE2 of the last row") << "CTL0005"
                                           << "2"
                                           << "y";
    QTest::newRow("empty everywhere") << "CTL0005"
                                      << "3"
                                      << "";
    QTest::newRow("value number 4") << "CTL0005"
                                    << "4"
                                    << "";
    QTest::newRow("missing code") << "CTL0009"
                                  << "1"
                                  << "";
}

void TestLookups::controlCode() {
    QFETCH(QString, code);
    QFETCH(QString, number);
    QFETCH(QString, value);
    QCOMPARE(GetControlCode(TableStore(folder_.path()), code, number), value);
}

void TestLookups::sampleDataReadsBack() {
    // The sample application folder shipped with the program.
    const TableStore store(QStringLiteral(TSUMIKI_SOURCE_DIR "/data"));
    QCOMPARE(GetUserAuthority(store, QStringLiteral("0001")), QStringLiteral("ADMIN"));
    QVERIFY(!LookupUserName(store, QStringLiteral("0002")).isEmpty());
    QVERIFY(GetUnitPrice(store, QStringLiteral("0002")) > 0);
    QCOMPARE(GetControlCode(store, QStringLiteral("CTL0003"), QStringLiteral("1")), QStringLiteral("05:00"));
    QVERIFY(!GetControlCode(store, QStringLiteral("CTL0005"), QStringLiteral("1")).isEmpty());
    for (int i = 1; i <= 14; ++i) {
        const QString id = QStringLiteral("E%1").arg(i, 5, 10, QLatin1Char('0'));
        QVERIFY2(!GetMessageText(store, id).startsWith(u"errcode"), qPrintable(id));
    }
}

QTEST_APPLESS_MAIN(TestLookups)
#include "tst_lookups.moc"
