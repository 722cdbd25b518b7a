#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTest>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include "store/paths.h"
#include "store/tablelock.h"
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
    void appendKeepsTheFileAndAddsTheRow_data() {
        QTest::addColumn<QString>("header");
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("header in its own order")
            << "USERID,INPUTTIME,TIMEPRINT,ST,DOUHAN"
            << QByteArray("\"7\",\"2026/12/05\",\"2026/12/05 18:00\",\"2\",\"\"\r\n");
        QTest::newRow("each value under its own column of a reordered header")
            << "TIMEPRINT,USERID,INPUTTIME,ST,DOUHAN"
            << QByteArray("\"2026/12/05 18:00\",\"7\",\"2026/12/05\",\"2\",\"\"\r\n");
    }

    // A file cut anywhere (another program's crash, a full disk) keeps every byte, is closed where it was cut, and
    // never swallows the row appended after it.
    void appendKeepsTheFileAndAddsTheRow() {
        QFETCH(QString, header);
        QFETCH(QByteArray, line);
        const QByteArray full =
            toCp932(header + "\r\n" + test::clockRow("1", "2026/12/05", "2026/12/05 09:00", "1", "0") +
                    QStringLiteral("\r\n\"2\",\"a,\"\"b\r\nc\",x\"y,1,\r\n"));
        TempAppFolder folder;
        for (qsizetype cut = full.indexOf('\n') + 1; cut <= full.size(); ++cut) {
            const QByteArray before = full.left(cut);
            folder.writeBytes(Table::Clock, before);
            TableStore store(folder.path());
            QVERIFY(!store.append(Table::Clock, kClockOut));
            const QByteArray after = folder.bytes(Table::Clock);
            const ParsedTable was = ParsedTable::parse(before);
            QVERIFY2(was.ending() == ParsedTable::Ending::LineEnd ? after == before + line
                                                                  : after.startsWith(before) && after.endsWith(line),
                     qPrintable(QString::number(cut)));
            const int rows = was.rowCount();
            const TablePtr t = store.read(Table::Clock);
            QCOMPARE(t->rowCount(), rows + 1);
            for (int c = 0; c < kClockOut.size(); ++c) {
                QCOMPARE(t->value(rows, t->column(schemaOf(Table::Clock).columns[c])), kClockOut[c]);
            }
        }
    }

    // A second copy of the program appends a row in two writes with its lock held, as a slow disk might: a read in
    // between waits for it and sees the row whole.
    void appendInProgress() {
        TempAppFolder folder;
        folder.writeClockRows({test::clockRow("1", "2026/12/05", "2026/12/05 09:00", "1", "0")});
        const QByteArray before = folder.bytes(Table::Clock);
        const QByteArray row = toCp932(test::clockRow("2", "2026/12/05", "2026/12/05 10:00", "1", "0") + "\r\n");
        TableStore store(folder.path());
        QVERIFY(store.read(Table::Clock)->rowCount() == 1);
        int ready[2];
        QVERIFY(::pipe(ready) == 0);
        const pid_t child = ::fork();
        if (child == 0) {
            const int lock = ::open(QFile::encodeName(TableLock::lockPathOf(store, Table::Clock)).constData(),
                                    O_RDWR | O_CREAT, 0644);
            const int file = ::open(QFile::encodeName(folder.tablePath(Table::Clock)).constData(), O_WRONLY | O_APPEND);
            if (lock < 0 || file < 0 || ::flock(lock, LOCK_EX) != 0 || ::write(file, row.constData(), 9) != 9 ||
                ::write(ready[1], "x", 1) != 1) {
                ::_exit(1);
            }
            ::usleep(300 * 1000);
            ::_exit(::write(file, row.constData() + 9, size_t(row.size() - 9)) == row.size() - 9 ? 0 : 1);
        }
        char go = 0;
        QVERIFY(::read(ready[0], &go, 1) == 1);
        const TablePtr read = store.read(Table::Clock);
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        QCOMPARE(read->rowCount(), 2);
        QCOMPARE(read->bytes(), before + row);
        ::close(ready[0]);
        ::close(ready[1]);
    }

    void readSeesEveryChange_data() {
        QTest::addColumn<QByteArray>("first");
        QTest::addColumn<QByteArray>("second");
        const QByteArray h("ID,USERNAME,KENGEN,TANKA\r\n");
        QTest::newRow("same size and times") << h + "1,A,,15\r\n" << h + "1,A,,30\r\n";
        QTest::newRow("grown, earlier row changed") << h + "1,A,,15\r\n" << h + "1,A,,30\r\n2,B,,\r\n";
        QTest::newRow("grown after a line without its end") << h + "1,A,,15" << h + "1,A,,150\r\n";
        QTest::newRow("grown by rows") << h + "1,A,,15\r\n" << h + "1,A,,15\r\n2,B,,30\r\n";
        QTest::newRow("shrunk") << h + "1,A,,15\r\n2,B,,\r\n" << h + "1,A,,15\r\n";
        QTest::newRow("grown by rows in UTF-8")
            << h + "1,A,,15\r\n"
            << h + "1,A,,15\r\n" + QStringLiteral("2,山本,,\r\n3,さくら,,\r\n").toUtf8();
    }

    // Whatever another program did to the file, the next read shows exactly its content, even where size and times
    // tell nothing (a rewrite of the same length within the file system's time granularity), and refuses it where a
    // first read would.
    void readSeesEveryChange() {
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
        // The rows read, or the error that refuses the file: the same as for a store that never read it before.
        auto seenBy = [](const TableStore& reader) {
            QStringList seen;
            try {
                const TablePtr t = reader.read(Table::User);
                for (int r = 0; r < t->rowCount(); ++r) {
                    for (int c = 0; c < 4; ++c) {
                        seen << t->value(r, c).value_or(QStringLiteral("-"));
                    }
                }
            } catch (const StoreError& e) {
                seen << e.message();
            }
            return seen;
        };
        QCOMPARE(seenBy(store), seenBy(TableStore(folder.path())));
        QCOMPARE(held->bytes(), first);
    }

    void refusedFilesNameTheFile_data() {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        const QByteArray h("ID,USERNAME,KENGEN,TANKA\r\n");
        const std::tuple<const char*, const char*, QByteArray, const char*> rows[] = {
            {"missing folder", "nofolder", {}, "データフォルダ「"},
            {"a folder in place of the file", "dir", {}, "ユーザー.csv」が見つかりません"},
            {"UTF-8", "", h + QStringLiteral("1,さくら,,\r\n2,山田太郎,,\r\n3,佐藤,,\r\n").toUtf8(),
             "ユーザー.csv」は UTF-8"},
            {"not code page 932", "", h + "1,\x81\x20,,\r\n", "ユーザー.csv」の 2 行目"},
            {"empty", "", {}, "ユーザー.csv」が空"},
            {"columns missing", "", "ID,NAME,KENGEN\r\n", "列 USERNAME、TANKA がない"},
            {"extra columns, letter case, blanks: no error", "", "\"id\", UserName ,Kengen,TANKA,EXTRA\r\n", ""},
        };
        for (const auto& [name, setup, bytes, expected] : rows) {
            QTest::newRow(name) << QString(setup) << bytes << QString(expected);
        }
    }

    void refusedFilesNameTheFile() {
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

    void split_data() {
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

    void split() {
        QFETCH(QString, path);
        QFETCH(QString, folder);
        QFETCH(QString, file);
        QCOMPARE(GetDirectoryPart(path), folder);
        QCOMPARE(GetFileNamePart(path), file);
    }
};

QTEST_APPLESS_MAIN(TestTableStore)
#include "tst_tablestore.moc"
