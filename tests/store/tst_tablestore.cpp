#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTest>

#include "store/paths.h"
#include "store/tablestore.h"
#include "testsupport.h"

using namespace tsumiki;
using tsumiki::test::TempAppFolder;
using tsumiki::test::toCp932;

Q_DECLARE_METATYPE(tsumiki::Table)

namespace {
const QList<Value> kClockOut{QStringLiteral("7"), QStringLiteral("2026/12/05"), QStringLiteral("2026/12/05 18:00"),
                             QStringLiteral("2"), std::nullopt};
}  // namespace

class TestTableStore : public QObject {
    Q_OBJECT
private slots:
    void failedRewriteLeavesTheFile_data();
    void failedRewriteLeavesTheFile();
    void appendAddsOneLine_data();
    void appendAddsOneLine();
    void appendAfterACutKeepsTheNewRow();
    void readSeesEveryChange_data();
    void readSeesEveryChange();
    void split_data();
    void split();
    void sampleTablesAreAsTheStoreWritesThem_data();
    void sampleTablesAreAsTheStoreWritesThem();
    void refusedFilesNameTheFile_data();
    void refusedFilesNameTheFile();
};

void TestTableStore::failedRewriteLeavesTheFile_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("refused");
    QTest::newRow("a character the code page lacks") << QStringLiteral("새 글") << QStringLiteral("「새」(U+C0C8)");
    QTest::newRow("interrupted before the new file replaces the old") << QStringLiteral("new") << QString();
}

void TestTableStore::failedRewriteLeavesTheFile() {
    QFETCH(QString, value);
    QFETCH(QString, refused);
    TempAppFolder folder;
    folder.writeTable(Table::Message, {QStringLiteral("MSGID,MESSAGE"), QStringLiteral("M01001,元の文")});
    const QByteArray before = folder.bytes(Table::Message);
    TableStore store(folder.path());
    store.setBeforeCommitHook([] { return false; });
    try {
        store.rewrite(Table::Message, {{QStringLiteral("M01001"), value}});
        QFAIL("the rewrite did not fail");
    } catch (const UnencodableTextError& e) {
        QCOMPARE(e.character(), refused);
        QVERIFY(e.message().contains(QStringLiteral("メッセージ.csv")));
    } catch (const StoreError&) {
        QVERIFY(refused.isEmpty());
    }
    QCOMPARE(folder.bytes(Table::Message), before);
    QCOMPARE(QDir(folder.dbPath()).entryList(QDir::Files).size(), 1);
}

void TestTableStore::appendAddsOneLine_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    const QByteArray header("USERID,INPUTTIME,TIMEPRINT,ST,DOUHAN\r\n");
    const QByteArray row("\"7\",\"2026/12/05\",\"2026/12/05 18:00\",\"2\",\"\"\r\n");
    QTest::newRow("after CR LF") << header << header + row;
    QTest::newRow("after a last line without its line end")
        << header + "\"7\",\"2026/12/05\"" << header + "\"7\",\"2026/12/05\"\r\n" + row;
    QTest::newRow("after a cut inside quotes") << header + "\"0004\",\"" << header + "\"0004\",\"\"\r\n" + row;
}

void TestTableStore::appendAddsOneLine() {
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    TempAppFolder folder;
    folder.writeBytes(Table::Clock, before);
    TableStore(folder.path()).append(Table::Clock, kClockOut);
    QCOMPARE(folder.bytes(Table::Clock), after);
}

// A file cut anywhere (another program's crash, a full disk) never swallows the row appended after it.
void TestTableStore::appendAfterACutKeepsTheNewRow() {
    const QByteArray full = toCp932(QStringLiteral("USERID,INPUTTIME,TIMEPRINT,ST,DOUHAN\r\n") +
                                    test::clockRow("1", "2026/12/05", "2026/12/05 09:00", "1", "0") +
                                    QStringLiteral("\r\n\"2\",\"a,\"\"b\r\nc\",x\"y,1,\r\n"));
    TempAppFolder folder;
    for (qsizetype cut = full.indexOf('\n') + 1; cut <= full.size(); ++cut) {
        folder.writeBytes(Table::Clock, full.left(cut));
        TableStore store(folder.path());
        const int before = ParsedTable::parse(full.left(cut)).rowCount();
        store.append(Table::Clock, kClockOut);
        const TablePtr t = store.read(Table::Clock);
        QCOMPARE(t->rowCount(), before + 1);
        for (int c = 0; c < kClockOut.size(); ++c) {
            QCOMPARE(t->value(before, c), kClockOut[c]);
        }
    }
}

void TestTableStore::readSeesEveryChange_data() {
    QTest::addColumn<QByteArray>("first");
    QTest::addColumn<QByteArray>("second");
    const QByteArray h("ID,USERNAME,KENGEN,TANKA\r\n");
    QTest::newRow("same size and times") << h + "1,A,,15\r\n" << h + "1,A,,30\r\n";
    QTest::newRow("grown, earlier row changed") << h + "1,A,,15\r\n" << h + "1,A,,30\r\n2,B,,\r\n";
    QTest::newRow("grown after a line without its end") << h + "1,A,,15" << h + "1,A,,150\r\n";
    QTest::newRow("grown by rows") << h + "1,A,,15\r\n" << h + "1,A,,15\r\n2,B,,30\r\n";
    QTest::newRow("grown by a row in code page 932") << h + "1,A,,15\r\n" << h + "1,A,,15\r\n2,\x82\xA0,,30\r\n";
    QTest::newRow("shrunk") << h + "1,A,,15\r\n2,B,,\r\n" << h + "1,A,,15\r\n";
}

// Whatever another program did to the file, the next read shows exactly its content, even where size and times
// tell nothing (a rewrite of the same length within the file system's time granularity).
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
    const ParsedTable fresh = ParsedTable::parse(second);
    QCOMPARE(now->rowCount(), fresh.rowCount());
    for (int r = 0; r < fresh.rowCount(); ++r) {
        for (int c = 0; c < 4; ++c) {
            QCOMPARE(now->value(r, c), fresh.value(r, c));
        }
    }
    QCOMPARE(held->bytes(), first);
    QCOMPARE(now->grewFrom(*held), second.startsWith(first) && first.endsWith('\n'));
}

void TestTableStore::refusedFilesNameTheFile_data() {
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");
    const QByteArray h("ID,USERNAME,KENGEN,TANKA\r\n");
    QTest::newRow("missing folder") << "nofolder" << QByteArray() << "データフォルダ「";
    QTest::newRow("missing file") << "nofile" << QByteArray() << "ユーザー.csv」が見つかりません";
    QTest::newRow("a folder in place of the file") << "dir" << QByteArray() << "ユーザー.csv」が見つかりません";
    QTest::newRow("UTF-8") << "" << h + QStringLiteral("1,さくら,,\r\n2,山田太郎,,\r\n3,佐藤,,\r\n").toUtf8()
                           << "ユーザー.csv」は UTF-8";
    QTest::newRow("not code page 932") << "" << h + "1,\x81\x20,,\r\n"
                                       << "ユーザー.csv」の 2 行目";
    QTest::newRow("empty") << "" << QByteArray() << "ユーザー.csv」が空";
    QTest::newRow("columns missing") << "" << QByteArray("ID,NAME,KENGEN\r\n") << "列 USERNAME、TANKA がない";
    QTest::newRow("extra columns, letter case, blanks: no error")
        << "" << QByteArray("\"id\", UserName ,Kengen,TANKA,EXTRA\r\n") << "";
}

void TestTableStore::refusedFilesNameTheFile() {
    QFETCH(QString, setup);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    TempAppFolder folder;
    if (setup == u"nofolder") {
        QDir(folder.dbPath()).removeRecursively();
    } else if (setup == u"dir") {
        QDir(folder.dbPath()).mkdir(schemaOf(Table::User).fileName);
    } else if (setup.isEmpty()) {
        folder.writeBytes(Table::User, bytes);
    }
    try {
        TableStore(folder.path()).read(Table::User);
        QVERIFY(expected.isEmpty());
    } catch (const StoreError& e) {
        QVERIFY2(!expected.isEmpty() && e.message().contains(expected), qPrintable(e.message()));
    }
}

void TestTableStore::split_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("file");
    const char* rows[][4] = {{"slashes", "/shop/app/DB/ユーザー.csv", "/shop/app/DB", "ユーザー.csv"},
                             {"backslashes split at the last only", "C:\\shop\\DB\\u.csv", "C:\\shop\\DB", "u.csv"},
                             {"no separator", "ユーザー.csv", "", "ユーザー.csv"},
                             {"empty", "", "", ""}};
    for (const auto& r : rows) {
        QTest::newRow(r[0]) << QString::fromUtf8(r[1]) << QString::fromUtf8(r[2]) << QString::fromUtf8(r[3]);
    }
}

void TestTableStore::split() {
    QFETCH(QString, path);
    QFETCH(QString, folder);
    QFETCH(QString, file);
    QCOMPARE(GetDirectoryPart(path), folder);
    QCOMPARE(GetFileNamePart(path), file);
}

void TestTableStore::sampleTablesAreAsTheStoreWritesThem_data() {
    QTest::addColumn<int>("table");
    for (Table t : {Table::Control, Table::User, Table::Message, Table::Clock}) {
        QTest::newRow(schemaOf(t).fileName.toUtf8()) << int(t);
    }
}

// The shipped sample folder, read and written back by the store into a folder without the file, is byte for byte
// the same: the written form of every table.
void TestTableStore::sampleTablesAreAsTheStoreWritesThem() {
    QFETCH(int, table);
    const Table t = Table(table);
    const TableStore sample(QStringLiteral(TSUMIKI_SOURCE_DIR "/data"));
    const TablePtr parsed = sample.read(t);
    QList<QList<Value>> rows;
    for (int r = 0; r < parsed->rowCount(); ++r) {
        QList<Value> row;
        for (int c = 0; c < parsed->header().size(); ++c) {
            row << parsed->value(r, c);
        }
        rows << row;
    }
    QVERIFY(!rows.isEmpty());
    test::TempAppFolder copy;
    TableStore(copy.path()).rewrite(t, rows);
    QFile original(sample.pathOf(t));
    QVERIFY(original.open(QIODevice::ReadOnly));
    QCOMPARE(copy.bytes(t), original.readAll());
}

QTEST_APPLESS_MAIN(TestTableStore)
#include "tst_tablestore.moc"
