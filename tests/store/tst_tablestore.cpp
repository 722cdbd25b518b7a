#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTest>

#include "store/queries.h"
#include "store/tablestore.h"
#include "testsupport.h"

using namespace tsumiki;
using tsumiki::test::TempAppFolder;
using tsumiki::test::toCp932;

Q_DECLARE_METATYPE(tsumiki::Table)

class TestTableStore : public QObject {
    Q_OBJECT
private slots:
    void rewriteWritesExactBytes_data();
    void rewriteWritesExactBytes();
    void rewriteRefusesUnencodableBeforeWriting();
    void failedRewriteLeavesOldFile();
    void rewriteCreatesMissingFile();
    void appendAddsOneLine_data();
    void appendAddsOneLine();
    void appendAfterACutKeepsTheNewRow();
    void readSeesEveryChange_data();
    void readSeesEveryChange();
    void appendIsSeenByNextRead();
    void headerFormsStillRead();
    void storeErrorsNameTheFile_data();
    void storeErrorsNameTheFile();
};

void TestTableStore::rewriteWritesExactBytes_data() {
    QTest::addColumn<Table>("table");
    QTest::addColumn<QList<QList<Value>>>("rows");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("control") << Table::Control
                             << QList<QList<Value>>{{QStringLiteral("CTL0003"),
                                                     QStringLiteral("05:00"),
                                                     {},
                                                     {},
                                                     QStringLiteral("日替わり～")}}
                             << toCp932(QStringLiteral("CTLCODE,CODE1,CODE2,CODE3,COMMENT\r\n"
                                                       "\"CTL0003\",\"05:00\",\"\",\"\",\"日替わり～\"\r\n"));
    QTest::newRow("user") << Table::User
                          << QList<QList<Value>>{{QStringLiteral("0001"), QStringLiteral("店長"),
                                                  QStringLiteral("ADMIN"), QStringLiteral("3000")},
                                                 {QStringLiteral("0002"), QStringLiteral("ｻｸﾗ"), {}, {}}}
                          << toCp932(QStringLiteral("ID,USERNAME,KENGEN,TANKA\r\n\"0001\",\"店長\",\"ADMIN\",3000\r\n"
                                                    "\"0002\",\"ｻｸﾗ\",\"\",\r\n"));
    QTest::newRow("message") << Table::Message
                             << QList<QList<Value>>{{QStringLiteral("E00013"), QStringLiteral("まだ退出できません。")},
                                                    {QStringLiteral("M01001"), QStringLiteral("a,\"b\"")}}
                             << toCp932(QStringLiteral("MSGID,MESSAGE\r\nE00013,まだ退出できません。\r\n"
                                                       "M01001,\"a,\"\"b\"\"\"\r\n"));
    QTest::newRow("clock") << Table::Clock
                           << QList<QList<Value>>{{QStringLiteral("0005"), QStringLiteral("2009/05/01"),
                                                   QStringLiteral("2009/05/01 09:00"), QStringLiteral("1"),
                                                   QStringLiteral("1")}}
                           << QByteArray(
                                  "USERID,INPUTTIME,TIMEPRINT,ST,DOUHAN\r\n"
                                  "\"0005\",\"2009/05/01\",\"2009/05/01 09:00\",\"1\",\"1\"\r\n");
    QTest::newRow("no rows") << Table::Message << QList<QList<Value>>{} << QByteArray("MSGID,MESSAGE\r\n");
}

void TestTableStore::rewriteWritesExactBytes() {
    QFETCH(Table, table);
    QFETCH(QList<QList<Value>>, rows);
    QFETCH(QByteArray, bytes);
    TempAppFolder folder;
    folder.writeEmptyTables();
    TableStore store(folder.path());
    store.rewrite(table, rows);
    QCOMPARE(folder.bytes(table), bytes);

    const TablePtr back = store.read(table);
    QCOMPARE(back->rowCount(), rows.size());
    for (int r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < rows[r].size(); ++c) {
            QCOMPARE(back->value(r, c), rows[r][c]);
        }
    }
}

void TestTableStore::rewriteRefusesUnencodableBeforeWriting() {
    TempAppFolder folder;
    folder.writeTable(Table::Message, {QStringLiteral("MSGID,MESSAGE"), QStringLiteral("M01001,元の文")});
    const QByteArray before = folder.bytes(Table::Message);
    TableStore store(folder.path());
    try {
        store.rewrite(Table::Message, {{QStringLiteral("M01001"), QStringLiteral("새 글")}});
        QFAIL("an unencodable character was written");
    } catch (const UnencodableTextError& e) {
        QCOMPARE(e.character(), QStringLiteral("「새」(U+C0C8)"));
        QVERIFY(e.message().contains(QStringLiteral("メッセージ.csv")));
    }
    QCOMPARE(folder.bytes(Table::Message), before);
}

void TestTableStore::failedRewriteLeavesOldFile() {
    TempAppFolder folder;
    folder.writeTable(Table::User, {QStringLiteral("ID,USERNAME,KENGEN,TANKA"), QStringLiteral("\"1\",\"A\",\"\",1")});
    const QByteArray before = folder.bytes(Table::User);
    TableStore store(folder.path());
    store.setBeforeCommitHook([] { return false; });
    QVERIFY_THROWS_EXCEPTION(StoreError, store.rewrite(Table::User, {{QStringLiteral("2"), QStringLiteral("B")}}));
    QCOMPARE(folder.bytes(Table::User), before);
    // No temporary file is left beside the table.
    QCOMPARE(QDir(folder.dbPath()).entryList(QDir::Files).size(), 1);
}

void TestTableStore::rewriteCreatesMissingFile() {
    TempAppFolder folder;
    TableStore store(folder.path());
    store.rewrite(Table::Control, {});
    QCOMPARE(folder.bytes(Table::Control), QByteArray("CTLCODE,CODE1,CODE2,CODE3,COMMENT\r\n"));
}

void TestTableStore::appendAddsOneLine_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    const QByteArray header("USERID,INPUTTIME,TIMEPRINT,ST,DOUHAN\r\n");
    const QByteArray row("\"7\",\"2026/12/05\",\"2026/12/05 18:00\",\"2\",\"\"\r\n");
    QTest::newRow("after CR LF") << header << header + row;
    QTest::newRow("after a last line without its line end")
        << header + "\"7\",\"2026/12/05\",\"2026/12/05 09:15\",\"1\",\"0\""
        << header + "\"7\",\"2026/12/05\",\"2026/12/05 09:15\",\"1\",\"0\"\r\n" + row;
    QTest::newRow("after a bare LF") << QByteArray("USERID,INPUTTIME,TIMEPRINT,ST,DOUHAN\n")
                                     << QByteArray("USERID,INPUTTIME,TIMEPRINT,ST,DOUHAN\n") + row;
}

void TestTableStore::appendAddsOneLine() {
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    TempAppFolder folder;
    folder.writeBytes(Table::Clock, before);
    TableStore store(folder.path());
    store.append(Table::Clock, {QStringLiteral("7"), QStringLiteral("2026/12/05"), QStringLiteral("2026/12/05 18:00"),
                                QStringLiteral("2"), std::nullopt});
    QCOMPARE(folder.bytes(Table::Clock), after);
}

// A file cut anywhere (another program's crash, a full disk) never swallows the row appended after it.
void TestTableStore::appendAfterACutKeepsTheNewRow() {
    const QByteArray full = toCp932(QStringLiteral("USERID,INPUTTIME,TIMEPRINT,ST,DOUHAN\r\n") +
                                    test::clockRow("1", "2026/12/05", "2026/12/05 09:00", "1", "0") +
                                    QStringLiteral("\r\n\"2\",\"a,\"\"b\r\nc\",x\"y,1,\r\n"));
    const QList<Value> row{QStringLiteral("7"), QStringLiteral("2026/12/05"), QStringLiteral("2026/12/05 18:00"),
                           QStringLiteral("2"), std::nullopt};
    TempAppFolder folder;
    const qsizetype header = full.indexOf('\n') + 1;
    for (qsizetype cut = header; cut <= full.size(); ++cut) {
        folder.writeBytes(Table::Clock, full.left(cut));
        TableStore store(folder.path());
        const int before = ParsedTable::parse(full.left(cut)).rowCount();
        store.append(Table::Clock, row);
        const TablePtr t = store.read(Table::Clock);
        QCOMPARE(t->rowCount(), before + 1);
        for (int c = 0; c < row.size(); ++c) {
            QCOMPARE(t->value(before, c), row[c]);
        }
    }
}

void TestTableStore::readSeesEveryChange_data() {
    QTest::addColumn<QByteArray>("first");
    QTest::addColumn<QByteArray>("second");
    const QByteArray header("ID,USERNAME,KENGEN,TANKA\r\n");
    QTest::newRow("same size and times") << header + "1,A,,15\r\n" << header + "1,A,,30\r\n";
    QTest::newRow("grown, earlier row changed") << header + "1,A,,15\r\n" << header + "1,A,,30\r\n2,B,,\r\n";
    QTest::newRow("grown after a line without its end") << header + "1,A,,15" << header + "1,A,,150\r\n";
    QTest::newRow("grown by rows") << header + "1,A,,15\r\n" << header + "1,A,,15\r\n2,B,,30\r\n";
    QTest::newRow("grown by a row in code page 932") << header + "1,A,,15\r\n"
                                                     << header + "1,A,,15\r\n2,\x82\xA0,,30\r\n";
    QTest::newRow("shrunk") << header + "1,A,,15\r\n2,B,,\r\n" << header + "1,A,,15\r\n";
}

// Whatever another program did to the file, the next read shows exactly the file's content, even where size and
// times tell nothing (a rewrite of the same length within the file system's time granularity).
void TestTableStore::readSeesEveryChange() {
    QFETCH(QByteArray, first);
    QFETCH(QByteArray, second);
    TempAppFolder folder;
    folder.writeBytes(Table::User, first);
    TableStore store(folder.path());
    const TablePtr held = store.read(Table::User);
    QCOMPARE(store.read(Table::User), held);
    QFile file(folder.tablePath(Table::User));
    QVERIFY(file.open(QIODevice::ReadWrite));
    const QDateTime modified = file.fileTime(QFileDevice::FileModificationTime);
    QVERIFY(file.resize(0) && file.write(second) == second.size());
    file.setFileTime(modified, QFileDevice::FileModificationTime);
    file.close();
    const TablePtr now = store.read(Table::User);
    QCOMPARE(now->bytes(), second);
    const ParsedTable fresh = ParsedTable::parse(second);
    QCOMPARE(now->rowCount(), fresh.rowCount());
    for (int r = 0; r < fresh.rowCount(); ++r) {
        for (int c = 0; c < 4; ++c) {
            QCOMPARE(now->value(r, c), fresh.value(r, c));
        }
    }
    // The table read first is untouched by what came after.
    QCOMPARE(held->bytes(), first);
    QCOMPARE(now->grewFrom(*held), second.startsWith(first) && first.endsWith('\n'));
}

void TestTableStore::appendIsSeenByNextRead() {
    TempAppFolder folder;
    folder.writeEmptyTables();
    TableStore store(folder.path());
    for (const char* time : {"2026/12/05 09:15", "2026/12/05 09:30"}) {
        store.read(Table::Clock);
        store.append(Table::Clock, {QStringLiteral("7"), QStringLiteral("2026/12/05"), QString::fromLatin1(time),
                                    QStringLiteral("1"), QStringLiteral("0")});
    }
    const QList<Record> rows = ClockRowsByKind(store.read(Table::Clock), u"7", u"2026/12/05", u"1");
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[1].value(u"TIMEPRINT"), Value(QStringLiteral("2026/12/05 09:30")));
}

void TestTableStore::headerFormsStillRead() {
    TempAppFolder folder;
    folder.writeBytes(Table::User, "\"id\", UserName ,Kengen,TANKA,EXTRA\r\n\"1\",\"A\",\"\",5,x\r\n");
    const TablePtr t = TableStore(folder.path()).read(Table::User);
    QCOMPARE(t->value(0, t->column(u"USERNAME")), Value(QStringLiteral("A")));
}

void TestTableStore::storeErrorsNameTheFile_data() {
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("expected");
    QTest::newRow("missing folder") << QStringLiteral("nofolder") << QStringLiteral("データフォルダ「");
    QTest::newRow("missing file") << QStringLiteral("nofile") << QStringLiteral("ユーザー.csv」が見つかりません");
    QTest::newRow("UTF-8 file") << QStringLiteral("utf8") << QStringLiteral("ユーザー.csv」は UTF-8");
    QTest::newRow("not code page 932") << QStringLiteral("garbage") << QStringLiteral("ユーザー.csv」の 2 行目");
    QTest::newRow("empty file") << QStringLiteral("empty") << QStringLiteral("ユーザー.csv」が空");
    QTest::newRow("columns missing") << QStringLiteral("columns") << QStringLiteral("列 USERNAME、TANKA がない");
    QTest::newRow("a folder in place of the file")
        << QStringLiteral("dir") << QStringLiteral("ユーザー.csv」が見つかりません");
}

void TestTableStore::storeErrorsNameTheFile() {
    QFETCH(QString, setup);
    QFETCH(QString, expected);
    TempAppFolder folder;
    if (setup == u"nofolder") {
        QDir(folder.dbPath()).removeRecursively();
    } else if (setup == u"utf8") {
        folder.writeBytes(Table::User, QStringLiteral("ID,USERNAME,KENGEN,TANKA\r\n1,さくら,,\r\n").toUtf8());
    } else if (setup == u"garbage") {
        folder.writeBytes(Table::User, QByteArray("ID,USERNAME,KENGEN,TANKA\r\n1,\x81\x20,,\r\n"));
    } else if (setup == u"empty") {
        folder.writeBytes(Table::User, QByteArray());
    } else if (setup == u"columns") {
        folder.writeBytes(Table::User, "ID,NAME,KENGEN\r\n1,A,\r\n");
    } else if (setup == u"dir") {
        QDir(folder.dbPath()).mkdir(schemaOf(Table::User).fileName);
    }
    TableStore store(folder.path());
    try {
        store.read(Table::User);
        QFAIL("no store error");
    } catch (const StoreError& e) {
        QVERIFY2(e.message().contains(expected), qPrintable(e.message()));
    }
}

QTEST_APPLESS_MAIN(TestTableStore)
#include "tst_tablestore.moc"
