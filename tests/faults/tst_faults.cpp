// The store's writes under a killed process and under failing writes, run in a child (storeprobe) with the fault
// library preloaded: whatever happens, the table is exactly the old file or exactly the new one, the replaced
// file is never lost, no name is shared with the live file, and a refusal says why.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

#include <sys/stat.h>

#include <algorithm>

#include "store/guardedrewrite.h"
#include "store/history.h"
#include "store/systemerror.h"
#include "store/tablestore.h"
#include "testsupport.h"

using namespace tsumiki;
using namespace tsumiki::test;

namespace {

const QStringList kRows{clockRow("0001", "2026/12/05", "2026/12/05 09:00", "1", "0"),
                        clockRow("0001", "2026/12/05", "2026/12/05 18:00", "2"),
                        clockRow("0002", "2026/12/05", "2026/12/05 10:15", "1", "1")};

struct Run {
    bool killed = false;
    long calls = 0;
    QString outcome;  // "written" or "refused <message>"
};

Run probe(const QString& operation, const QString& app, const QString& fault, bool noExchange = false) {
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(TSUMIKI_FAULT_SHIM));
    env.insert(QStringLiteral("TSUMIKI_FAULT"), fault);
    if (noExchange) {
        env.insert(QStringLiteral("TSUMIKI_NO_EXCHANGE"), QStringLiteral("1"));
    }
    child.setProcessEnvironment(env);
    child.start(QStringLiteral(TSUMIKI_STORE_PROBE), {operation, app});
    if (!child.waitForFinished(20000)) {
        qFatal("storeprobe did not finish");
    }
    Run run;
    run.killed = child.exitStatus() == QProcess::CrashExit;
    const QStringList lines = QString::fromUtf8(child.readAllStandardOutput()).split(u'\n');
    if (!run.killed && lines.size() >= 2) {
        run.calls = lines[0].mid(6).toLong();
        run.outcome = lines[1];
    }
    return run;
}

nlink_t linksOf(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_nlink : 0;
}

// The files of the history folder's copies, by name.
QStringList copiesIn(const TableStore& store) {
    return QDir(history::folderOf(store)).entryList(QDir::Files, QDir::Name);
}

// Nothing in DB but the table and its lock file.
bool onlyTableLeft(const TableStore& store) {
    const QStringList entries = QDir(store.dbFolder()).entryList(QDir::Files | QDir::Hidden);
    return std::all_of(entries.begin(), entries.end(), [](const QString& e) {
        return e == schemaOf(Table::Clock).fileName ||
               e == u'.' + schemaOf(Table::Clock).fileName + QStringLiteral(".lock");
    });
}

bool someCopyHolds(const TableStore& store, const QByteArray& bytes) {
    for (const QString& name : copiesIn(store)) {
        if (test::fileBytes(QDir(history::folderOf(store)).filePath(name)) == bytes) {
            return true;
        }
    }
    return false;
}

}  // namespace

class TestFaults : public QObject {
    Q_OBJECT

    QByteArray old_;

    // A folder with the clock table and a full history folder, so that a save also prunes.
    void prepare(TempAppFolder& folder) {
        folder.writeClockRows(kRows);
        old_ = folder.bytes(Table::Clock);
        const TableStore store(folder.path());
        QDir().mkpath(history::folderOf(store));
        for (int i = 1; i <= history::kKeptPerTable; ++i) {
            QFile f(
                QDir(history::folderOf(store))
                    .filePath(QStringLiteral("個人出退勤時間_%1_20261201-090000.csv").arg(i, 6, 10, QLatin1Char('0'))));
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write("x") == 1);
        }
    }

    // What the next save finds and clears: afterwards only the table and its lock file are in DB.
    void saveAgain(TableStore& store) {
        const QByteArray now = test::fileBytes(store.pathOf(Table::Clock));
        TableWriter same(Table::Clock);
        const ParsedTable parsed = ParsedTable::parse(now);
        same.addRowsOf(parsed, 0, parsed.rowCount());
        const auto result =
            rewriteUnlessChanged(store, Table::Clock, now, std::move(same), QDateTime(QDate(2026, 12, 8), QTime(9, 0)));
        QCOMPARE(int(result.outcome), int(GuardedRewriteResult::Outcome::Written));
        QVERIFY(onlyTableLeft(store));
    }

private slots:
    void killedAtEveryCall_data() {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<bool>("noExchange");
        QTest::newRow("append") << "append" << false;
        QTest::newRow("save, names swapped in one step") << "save" << false;
        QTest::newRow("save on a file system that cannot swap names") << "save" << true;
    }

    void killedAtEveryCall() {
        QFETCH(QString, operation);
        QFETCH(bool, noExchange);
        TempAppFolder reference;
        prepare(reference);
        const Run whole = probe(operation, reference.path(), QStringLiteral("kill@0"), noExchange);
        QCOMPARE(whole.outcome, QStringLiteral("written"));
        QVERIFY(whole.calls > 2);
        const QByteArray fresh = reference.bytes(Table::Clock);
        for (long at = 1; at <= whole.calls; ++at) {
            TempAppFolder folder;
            prepare(folder);
            QVERIFY(probe(operation, folder.path(), QStringLiteral("kill@%1").arg(at), noExchange).killed);
            const QByteArray after = folder.bytes(Table::Clock);
            QVERIFY2(after == old_ || after == fresh, qPrintable(QStringLiteral("killed at call %1").arg(at)));
            TableStore store(folder.path());
            QCOMPARE(linksOf(store.pathOf(Table::Clock)), nlink_t(1));
            if (operation == u"save") {
                saveAgain(store);
                QVERIFY2(after == old_ || someCopyHolds(store, old_), qPrintable(QStringLiteral("call %1").arg(at)));
                for (const QString& name : copiesIn(store)) {
                    QCOMPARE(linksOf(QDir(history::folderOf(store)).filePath(name)), nlink_t(1));
                }
            }
        }
    }

    void failedWrites_data() {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("error");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("where");
        QTest::addColumn<bool>("noExchange");
        for (const QString operation : {"append", "save"}) {
            QTest::addRow("%s: full disk", qPrintable(operation)) << operation << "ENOSPC" << ENOSPC << "" << false;
            QTest::addRow("%s: read-only folder", qPrintable(operation))
                << operation << "EROFS" << EROFS << "" << false;
            QTest::addRow("%s: drive error", qPrintable(operation)) << operation << "EIO" << EIO << "" << false;
        }
        QTest::newRow("save: history folder not writable") << "save"
                                                           << "EACCES" << EACCES << "履歴" << false;
        QTest::newRow("save: history on a full file system without name swaps") << "save"
                                                                                << "ENOSPC" << ENOSPC << "履歴" << true;
    }

    // Every call of the write can fail in turn: the result is written (the old file kept in history) or refused
    // with the reason in words, the table as it was and nothing left behind.
    void failedWrites() {
        QFETCH(QString, operation);
        QFETCH(QString, error);
        QFETCH(int, number);
        QFETCH(QString, where);
        QFETCH(bool, noExchange);
        TempAppFolder reference;
        prepare(reference);
        const QString filter = where.isEmpty() ? QString() : u':' + where;
        const Run whole = probe(operation, reference.path(), QStringLiteral("kill@0") + filter, noExchange);
        const QByteArray fresh = reference.bytes(Table::Clock);
        int refusals = 0;
        for (long at = 1; at <= whole.calls; ++at) {
            TempAppFolder folder;
            prepare(folder);
            const Run run =
                probe(operation, folder.path(), QStringLiteral("%1@%2%3").arg(error).arg(at).arg(filter), noExchange);
            const QByteArray after = folder.bytes(Table::Clock);
            const TableStore store(folder.path());
            const QString context = QStringLiteral("call %1: %2").arg(at).arg(run.outcome);
            if (run.outcome == u"written") {
                QVERIFY2(after == fresh, qPrintable(context));
                QVERIFY2(operation == u"append" || someCopyHolds(store, old_), qPrintable(context));
            } else {
                ++refusals;
                QVERIFY2(run.outcome.contains(describeSystemError(number)), qPrintable(context));
                QVERIFY2(after == old_, qPrintable(context));
                QVERIFY2(!someCopyHolds(store, old_), qPrintable(context));
            }
            QVERIFY2(onlyTableLeft(store), qPrintable(context));
        }
        QVERIFY(refusals > 0);
    }
};

QTEST_GUILESS_MAIN(TestFaults)
#include "tst_faults.moc"
