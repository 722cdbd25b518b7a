// The editors' save: compare with what was loaded, keep rows appended meanwhile, history copies, leftovers of a
// killed save, the lock, and the check that what is written reads back. Killed and failing saves: tst_faults.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtTest>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "store/guardedrewrite.h"
#include "store/history.h"
#include "store/tablelock.h"
#include "store/tablestore.h"
#include "testsupport.h"

using namespace tsumiki;
using namespace tsumiki::test;
using Outcome = GuardedRewriteResult::Outcome;

namespace {

const QByteArray kHeader = "USERID,INPUTTIME,TIMEPRINT,ST,DOUHAN\r\n";
const QByteArray kLoaded = kHeader + "\"0001\",\"2026/12/05\",\"2026/12/05 09:00\",\"1\",\"0\"\r\n";
const QByteArray kNew = kHeader + "\"0002\",\"2026/12/05\",\"2026/12/05 10:00\",\"1\",\"0\"\r\n";
const QByteArray kAppended = "\"0003\",\"2026/12/05\",\"2026/12/05 11:00\",\"1\",\"0\"\r\n";
const QDateTime kNow(QDate(2026, 12, 6), QTime(21, 30, 15));

// The rows of a clock file as an editor hands them to the save.
TableWriter writerOf(const QByteArray& bytes) {
    TableWriter writer(Table::Clock);
    const ParsedTable parsed = ParsedTable::parse(bytes);
    QByteArrayView fields[5];
    for (int r = 0; r < parsed.rowCount(); ++r) {
        parsed.rawRow(r, fields);
        writer.addStored(fields);
    }
    return writer;
}

QStringList copiesOf(const TableStore& store) {
    return QDir(history::folderOf(store)).entryList(QDir::Files, QDir::Name);
}

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
        // Rows appended under a header reordered by hand keep their values under the table's own header.
        const QByteArray reordered = "TIMEPRINT,USERID,INPUTTIME,ST,DOUHAN\r\n";
        QTest::newRow("appended under a reordered header")
            << reordered << reordered + "\"2026/12/05 11:00\",\"0003\",\"2026/12/05\",\"1\",\"0\"\r\n"
            << 1;
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
        const auto result = rewriteUnlessChanged(store, Table::Clock, loaded, writerOf(kNew), kNow);
        QCOMPARE(int(result.outcome), int(written ? Outcome::Written : Outcome::ChangedSinceLoad));
        QCOMPARE(result.keptAppendedRows, std::max(kept, 0));
        QCOMPARE(folder.bytes(Table::Clock), after);
        QCOMPARE(kNew + result.keptAppended, written ? after : kNew);
        // The file replaced is kept as it was, and only when something was written.
        QCOMPARE(copiesOf(store), written ? QStringList{"個人出退勤時間_000001_20261206-213015.csv"} : QStringList());
        QVERIFY(!written || test::fileBytes(QDir(history::folderOf(store)).filePath(copiesOf(store)[0])) == atSave);
    }

    // Copies are numbered: the newest ten stay, ordered by when they were made even after the clock went back,
    // and twelve saves within one second keep their copies apart.
    void historyKeepsTheNewestTen() {
        TempAppFolder folder;
        TableStore store(folder.path());
        QByteArray content = kLoaded;
        folder.writeBytes(Table::Clock, content);
        for (int save = 1; save <= 12; ++save) {
            const QByteArray next = kHeader + "\"" + QByteArray::number(save) + "\",,,,\r\n";
            const QDateTime at = save < 4 ? kNow.addYears(1) : kNow;  // a clock set a year ahead, then corrected
            const auto result = rewriteUnlessChanged(store, Table::Clock, content, writerOf(next), at);
            QCOMPARE(int(result.outcome), int(Outcome::Written));
            content = result.written;
        }
        const QStringList copies = copiesOf(store);
        QCOMPARE(copies.size(), history::kKeptPerTable);
        QCOMPARE(copies.first(), QStringLiteral("個人出退勤時間_000003_20271206-213015.csv"));
        QCOMPARE(copies.last(), QStringLiteral("個人出退勤時間_000012_20261206-213015.csv"));
        QCOMPARE(test::fileBytes(QDir(history::folderOf(store)).filePath(copies.last())),
                 kHeader + "\"11\",\"\",\"\",\"\",\"\"\r\n");
    }

    // A table linked into another folder is saved through the link: the link stays, its target gets the new
    // content, and the copy holds the target's old bytes.
    void symbolicLinkStaysALink() {
        TempAppFolder folder;
        const QString target = QDir(folder.path()).filePath(QStringLiteral("clock-elsewhere.csv"));
        {
            QFile f(target);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(kLoaded) == kLoaded.size());
        }
        TableStore store(folder.path());
        QVERIFY(QFile::link(target, store.pathOf(Table::Clock)));
        const auto result = rewriteUnlessChanged(store, Table::Clock, kLoaded, writerOf(kNew), kNow);
        QCOMPARE(int(result.outcome), int(Outcome::Written));
        QVERIFY(QFileInfo(store.pathOf(Table::Clock)).isSymLink());
        QCOMPARE(test::fileBytes(target), kNew);
        QCOMPARE(test::fileBytes(QDir(history::folderOf(store)).filePath(copiesOf(store).value(0))), kLoaded);
    }

    // An older version killed in a save left its temporary file, or a history name for the live file itself: the
    // next save removes both; a file a person named beside the table stays. (What this version leaves when killed
    // is cleared in tst_faults.)
    void leftoversOfAnOlderVersion() {
        TempAppFolder folder;
        folder.writeBytes(Table::Clock, kLoaded);
        TableStore store(folder.path());
        const QDir db(folder.dbPath());
        const QString name = schemaOf(Table::Clock).fileName;
        for (const QString& file : {name + ".Qk2mZp", name + ".backup"}) {
            QFile f(db.filePath(file));
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write("x") == 1);
        }
        QVERIFY(QDir().mkpath(history::folderOf(store)));
        QVERIFY(
            ::link(QFile::encodeName(folder.tablePath(Table::Clock)).constData(),
                   QFile::encodeName(history::folderOf(store) + "/個人出退勤時間_20261201-090000.csv").constData()) ==
            0);
        QCOMPARE(int(rewriteUnlessChanged(store, Table::Clock, kLoaded, writerOf(kNew), kNow).outcome),
                 int(Outcome::Written));
        QCOMPARE(db.entryList(QDir::Files | QDir::Hidden, QDir::Name),
                 (QStringList{u'.' + name + ".lock", name, name + ".backup"}));
        const QStringList copies = copiesOf(store);
        QCOMPARE(copies.size(), 1);
        QCOMPARE(test::fileBytes(QDir(history::folderOf(store)).filePath(copies[0])), kLoaded);
    }

    void refusals_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("lockHeldElsewhere");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("named");
        // Code page 932 text that is also UTF-8 Japanese (螻ｱ譛ｬ reads as 山本) in two values: a read would
        // take the file for UTF-8.
        const QByteArray looksUtf8 =
            kHeader + "\"\xE5\xB1\xB1\xE6\x9C\xAC\",,,,\r\n\"\xE5\xB1\xB1\xE6\x9C\xAC\",,,,\r\n";
        QTest::newRow("would not read back")
            << looksUtf8 << false << int(WriteError::Kind::WouldNotReadBack) << "次に読み込んだときに";
        QTest::newRow("busy") << kNew << true << int(WriteError::Kind::Busy) << "更新中";
    }

    void refusals() {
        QFETCH(QByteArray, content);
        QFETCH(bool, lockHeldElsewhere);
        QFETCH(int, kind);
        QFETCH(QString, named);
        TempAppFolder folder;
        folder.writeBytes(Table::Clock, kLoaded);
        TableStore store(folder.path());
        TableLock::setWaitMs(100);
        // Another copy of the program: a lock on its own descriptor.
        const int other =
            ::open(QFile::encodeName(TableLock::lockPathOf(store, Table::Clock)).constData(), O_RDWR | O_CREAT, 0644);
        QVERIFY(other >= 0 && (!lockHeldElsewhere || ::flock(other, LOCK_EX) == 0));
        const auto result = rewriteUnlessChanged(store, Table::Clock, kLoaded, writerOf(content), kNow);
        ::close(other);
        TableLock::setWaitMs(5000);
        QCOMPARE(int(result.outcome), int(Outcome::Refused));
        QCOMPARE(int(result.refused->kind), kind);
        QVERIFY2(result.refused->message.contains(named), qPrintable(result.refused->message));
        QCOMPARE(folder.bytes(Table::Clock), kLoaded);
        QVERIFY(copiesOf(store).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestGuardedRewrite)
#include "tst_guardedrewrite.moc"
