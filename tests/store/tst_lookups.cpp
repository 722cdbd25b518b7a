#include <QTest>

#include "store/lookups.h"
#include "testsupport.h"

using namespace tsumiki;
using tsumiki::test::TempAppFolder;

class TestLookups : public QObject {
    Q_OBJECT
private slots:

    void initTestCase() {
        folder_.writeTable(Table::Message, {"MSGID,MESSAGE", "E00001,古い文", "E00001,登録されていません", "E00002,",
                                            "E00003,あり", "E00003,"});
        folder_.writeTable(Table::User,
                           {"ID,USERNAME,KENGEN,TANKA", "\"A\",\"店長\",\"ADMIN\",1200", "\"B\",\"さくら\",\"\",",
                            "\"C\",,\"admin\",abc", "\"D\",\"古い\",\"ADMIN\",500", "\"D\",\"新しい\",\"\",99999999999",
                            "\"E\",\"マイナス\",\"\", -300 "});
        folder_.writeTable(Table::Control, {"CTLCODE,CODE1,CODE2,CODE3,COMMENT", "\"CTL0005\",\"pw1\",\"x\",\"\",\"\"",
                                            "\"CTL0005\",\"\",\"y\",\"\",\"\""});
    }

    // Each row: the lookup, its arguments, and the value it must give.
    void lookup_data() {
        QTest::addColumn<QString>("lookup");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        const char* rows[][4] = {
            {"message: last row wins", "message", "E00001", "登録されていません"},
            {"message: empty text falls back", "message", "E00002", "errcode 'E00002'"},
            {"message: a later empty row empties it", "message", "E00003", "errcode 'E00003'"},
            {"administrator", "user", "A", "店長/ADMIN/1200"},
            {"empty authority and price", "user", "B", "さくら/0/0"},
            {"no name, lower-case authority, price not a number", "user", "C", "/admin/0"},
            {"last row wins; price beyond 32 bits", "user", "D", "新しい/0/0"},
            {"blanks around a negative price", "user", "E", "マイナス/0/-300"},
            {"no such user; case of the ID counts", "user", "a", "//0"},
            {"control: later empty CODE1 keeps the earlier", "control1", "CTL0005", "pw1"},
            {"control: CODE2 of the last row", "control2", "CTL0005", "y"},
            {"control: missing code", "control1", "CTL0009", ""},
        };
        for (const auto& r : rows) {
            QTest::newRow(r[0]) << QString::fromUtf8(r[1]) << QString::fromUtf8(r[2]) << QString::fromUtf8(r[3]);
        }
    }

    void lookup() {
        QFETCH(QString, lookup);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        const TableStore store(folder_.path());
        const QString got = lookup == u"message" ? GetMessageText(store, key)
                            : lookup == u"user"  ? LookupUserName(store, key) + u'/' + GetUserAuthority(store, key) +
                                                      u'/' + QString::number(GetUnitPrice(store, key))
                                                : GetControlCode(store, key, lookup.right(1));
        QCOMPARE(got, expected);
    }

    void sampleDataReadsBack() {
        // Every error message the program can show is in the sample application folder shipped with it.
        const TableStore store(QStringLiteral(TSUMIKI_SOURCE_DIR "/data"));
        for (int i = 1; i <= 14; ++i) {
            const QString id = QStringLiteral("E%1").arg(i, 5, 10, QLatin1Char('0'));
            QVERIFY2(!GetMessageText(store, id).startsWith(u"errcode"), qPrintable(id));
        }
    }

private:
    TempAppFolder folder_;
};

QTEST_APPLESS_MAIN(TestLookups)
#include "tst_lookups.moc"
