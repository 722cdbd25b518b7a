// The editors' save: compare with what was loaded, keep rows appended meanwhile, history copies, the lock.
#include <QDir>
#include <QFile>
#include <QtTest>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "store/guardedrewrite.h"
#include "store/history.h"
#include "store/tablelock.h"
#include "store/tablestore.h"
#include "store/writtenfield.h"
#include "testsupport.h"

using namespace tsumiki;
using namespace tsumiki::test;
using Outcome = GuardedRewriteResult::Outcome;

namespace {

const QByteArray kHeader = "USERID,INPUTTIME,TIMEPRINT,ST,DOUHAN\r\n";
const QByteArray kLoaded = kHeader + "\"0001\",\"2026/12/05\",\"2026/12/05 09:00\",\"1\",\"0\"\r\n";
const QByteArray kNew = kHeader + "\"0002\",\"2026/12/05\",\"2026/12/05 10:00\",\"1\",\"0\"\r\n";
const QByteArray kAppended = "\"0003\",\"2026/12/05\",\"2026/12/05 11:00\",\"1\",\"0\"\r\n";

}  // namespace

class TestGuardedRewrite : public QObject {
    Q_OBJECT

private slots:
    void comparesWithLoaded_data() {
        QTest::addColumn<QByteArray>("loaded");
        QTest::addColumn<QByteArray>("atSave");
        QTest::addColumn<int>("kept");  // rows appended meanwhile kept after the new content; -1: refused
        const QByteArray unended = kLoaded.chopped(2);
        QTest::newRow("unchanged") << kLoaded << kLoaded << 0;
        QTest::newRow("rows appended") << kLoaded << kLoaded + kAppended + kAppended << 2;
        QTest::newRow("appended after a line without its end")
            << unended << unended + "\r\n" + kAppended.chopped(2) << 1;
        QTest::newRow("last loaded line extended") << unended << unended + "x\r\n" << -1;
        QTest::newRow("saved by another editor") << kLoaded << kNew << -1;
        QTest::newRow("rows removed") << kLoaded << kHeader << -1;
    }

    void comparesWithLoaded() {
        QFETCH(QByteArray, loaded);
        QFETCH(QByteArray, atSave);
        QFETCH(int, kept);
        const bool written = kept >= 0;
        const QByteArray after = written ? kNew + kAppended.repeated(kept) : atSave;
        TempAppFolder folder;
        folder.writeBytes(Table::Clock, atSave);
        TableStore store(folder.path());
        const auto result =
            rewriteUnlessChanged(store, Table::Clock, loaded, kNew, QDateTime(QDate(2026, 12, 6), QTime(21, 30, 15)));
        QCOMPARE(int(result.outcome), int(written ? Outcome::Written : Outcome::ChangedSinceLoad));
        QCOMPARE(result.keptAppendedRows, std::max(kept, 0));
        QCOMPARE(folder.bytes(Table::Clock), after);
        QCOMPARE(kNew + result.keptAppended, written ? after : kNew);
        // The file replaced is kept as it was, and only when something was written.
        QFile copy(QDir(history::folderOf(store)).filePath(QStringLiteral("個人出退勤時間_20261206-213015.csv")));
        QCOMPARE(copy.exists(), written);
        if (copy.open(QIODevice::ReadOnly)) {
            QCOMPARE(copy.readAll(), atSave);
        }
    }

    void keepsDatedCopiesNewestTen() {
        TempAppFolder folder;
        TableStore store(folder.path());
        QDateTime at(QDate(2026, 12, 6), QTime(9, 0, 0));
        QByteArray content = kLoaded;
        for (int save = 0; save < 12; ++save) {
            const QByteArray next = kHeader + QByteArray::number(save) + "\r\n";
            folder.writeBytes(Table::Clock, content);
            // Two saves within one second keep two copies.
            const QDateTime now = save == 11 ? at.addSecs(10) : at.addSecs(save);
            QCOMPARE(int(rewriteUnlessChanged(store, Table::Clock, content, next, now).outcome), int(Outcome::Written));
            content = next;
        }
        const QStringList copies = QDir(history::folderOf(store)).entryList(QDir::Files, QDir::Name);
        QCOMPARE(copies.size(), history::kKeptPerTable);
        QCOMPARE(copies.first(), QStringLiteral("個人出退勤時間_20261206-090002.csv"));
        QCOMPARE(copies.last(), QStringLiteral("個人出退勤時間_20261206-090010_2.csv"));
        QFile newest(QDir(history::folderOf(store)).filePath(copies.last()));
        QVERIFY(newest.open(QIODevice::ReadOnly));
        QCOMPARE(newest.readAll(), kHeader + "10\r\n");
    }

    void failureLeavesOldFileWhole_data() {
        QTest::addColumn<bool>("historyBlocked");
        QTest::addColumn<QString>("named");
        QTest::newRow("no history copy, no save") << true << "履歴";
        QTest::newRow("write fails before it replaces the file") << false << "書き込めません";
    }

    void failureLeavesOldFileWhole() {
        QFETCH(bool, historyBlocked);
        QFETCH(QString, named);
        TempAppFolder folder;
        folder.writeBytes(Table::Clock, kLoaded);
        TableStore store(folder.path());
        QFile blocker(history::folderOf(store));  // a file where the folder belongs
        QVERIFY(!historyBlocked || blocker.open(QIODevice::WriteOnly));
        store.setBeforeCommitHook([] { return false; });
        const auto result = rewriteUnlessChanged(store, Table::Clock, kLoaded, kNew, QDateTime::fromSecsSinceEpoch(0));
        QCOMPARE(int(result.outcome), int(Outcome::Failed));
        QVERIFY2(result.message.contains(named), qPrintable(result.message));
        QCOMPARE(folder.bytes(Table::Clock), kLoaded);
        // A copy made before the failed write does not stay behind as the history of a save that never was.
        QVERIFY(historyBlocked || QDir(history::folderOf(store)).isEmpty());
    }

    void busyLockRefusesAndAppendWaitsNoLonger() {
        TempAppFolder folder;
        folder.writeBytes(Table::Clock, kLoaded);
        TableStore store(folder.path());
        TableLock::setWaitMs(100);
        // Another copy of the program: a lock on its own descriptor.
        const int other =
            ::open(QFile::encodeName(TableLock::lockPathOf(store, Table::Clock)).constData(), O_RDWR | O_CREAT, 0644);
        QVERIFY(other >= 0 && ::flock(other, LOCK_EX) == 0);
        const auto result = rewriteUnlessChanged(store, Table::Clock, kLoaded, kNew, QDateTime::fromSecsSinceEpoch(0));
        QCOMPARE(int(result.outcome), int(Outcome::Failed));
        QVERIFY(result.message.contains(QStringLiteral("更新中")));
        QVERIFY_THROWS_EXCEPTION(TableBusyError, store.append(Table::Clock, {QStringLiteral("0009")}));
        QCOMPARE(folder.bytes(Table::Clock), kLoaded);
        ::close(other);
        store.append(Table::Clock, {QStringLiteral("0009")});
        QVERIFY(folder.bytes(Table::Clock).endsWith("\"0009\",\"\",\"\",\"\",\"\"\r\n"));
        TableLock::setWaitMs(5000);
    }

    // The byte writer and formatRow agree for every short value made of the characters that need care, and the
    // reader gives each value back.
    void writerQuotesAsFormatRow() {
        const QStringList alphabet{",", "\"", "a", "あ", "\r\n", " "};
        QStringList values{QString()};
        for (int length = 0; length < 3; ++length) {
            for (const QString& prefix : QStringList(values)) {
                for (const QString& c : alphabet) {
                    values.append(prefix + c);
                }
            }
        }
        values.removeDuplicates();
        for (Table table : {Table::Message, Table::User}) {
            const TableSchema& schema = schemaOf(table);
            for (const QString& v : values) {
                QList<Value> row;
                QByteArray bytes;
                for (qsizetype c = 0; c < schema.columns.size(); ++c) {
                    const QString field = c == 1 ? v : QStringLiteral("k");
                    row.append(field);
                    if (c > 0) {
                        bytes += ',';
                    }
                    appendWrittenField(bytes, toCp932(field), schema.alwaysQuoted[c]);
                }
                QCOMPARE(fromCp932(bytes), formatRow(schema, row));
                const ParsedTable parsed =
                    ParsedTable::parse(toCp932(schema.columns.join(u',')) + "\r\n" + bytes + "\r\n");
                QCOMPARE(parsed.rowCount(), 1);
                QCOMPARE(parsed.value(0, 1).value_or(QString()), v);
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestGuardedRewrite)
#include "tst_guardedrewrite.moc"
