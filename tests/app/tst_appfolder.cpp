#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>
#include <csignal>

#include "app/appfolder.h"
#include "app/startup.h"
#include "store/lookups.h"
#include "store/storeerror.h"
#include "testsupport.h"

using namespace tsumiki;

namespace {

const QString kStarting = TSUMIKI_BUILD_STARTING_DIR;
const QStringList kStartingFiles{"DB/コントロール.csv",
                                 "DB/メッセージ.csv",
                                 "DB/ユーザー.csv",
                                 "DB/個人出退勤時間.csv",
                                 "excelテンプレート/勤務表個人.xls",
                                 "excelテンプレート/勤務表全員.xls"};

// Every file below the folder, hidden ones included, with its bytes and time of last change.
QMap<QString, QPair<QByteArray, QDateTime>> snapshot(const QString& folder) {
    QMap<QString, QPair<QByteArray, QDateTime>> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(QDir(folder).relativeFilePath(path), {test::fileBytes(path), it.fileInfo().lastModified()});
    }
    return files;
}

}  // namespace

class TestAppFolder : public QObject {
    Q_OBJECT
private slots:
    void folderIsChosen_data() {
        QTest::addColumn<QString>("xdgDataHome");
        QTest::addColumn<bool>("dbBesideProgram");
        QTest::addColumn<QString>("expected");  // $P the program's folder
        QTest::newRow("program kept with its data") << "/data" << true << "$P";
        QTest::newRow("XDG_DATA_HOME set") << "/data" << false << "/data/tsumiki";
        QTest::newRow("relative XDG_DATA_HOME ignored") << "data" << false << "/home/shop/.local/share/tsumiki";
    }

    void folderIsChosen() {
        QFETCH(QString, xdgDataHome);
        QFETCH(bool, dbBesideProgram);
        QFETCH(QString, expected);
        QTemporaryDir program;
        QVERIFY(!dbBesideProgram || QDir(program.path()).mkdir("DB"));
        const ApplicationFolder chosen = chooseApplicationFolder(program.path(), xdgDataHome, "/home/shop");
        QCOMPARE(chosen.path, expected.replace("$P", program.path()));
        QCOMPARE(chosen.portable, dbBesideProgram);
    }

    // A new shop starts from the sample's settings without a workbook password, no clock rows and one
    // administrator who can log in; the tables have CR LF line ends whatever the checkout did to them.
    void startingTablesReadBack() {
        const TableStore starting(kStarting), sample(TSUMIKI_SOURCE_DIR "/data");
        checkDataFolder(starting);
        for (const QString code : {"CTL0003", "CTL0004", "CTL0005"}) {
            QCOMPARE(GetControlCode(starting, code, "1"), code == "CTL0005" ? "" : GetControlCode(sample, code, "1"));
        }
        QCOMPARE(starting.read(Table::Clock)->rowCount(), 0);
        QCOMPARE(starting.read(Table::User)->rowCount(), 1);
        QCOMPARE(LookupUserName(starting, "0001") + GetUserAuthority(starting, "0001"), "管理者ADMIN");
        for (const QString& file : kStartingFiles.mid(0, 4)) {
            const QByteArray bytes = test::fileBytes(kStarting + '/' + file);
            QVERIFY2(bytes.endsWith("\r\n") && !QByteArray(bytes).replace("\r\n", "").contains('\n'), qPrintable(file));
        }
    }

    // Only what is missing is written, the user table's absence tells a new shop, and a second start changes
    // nothing and leaves no temporary file behind.
    void folderIsCompleted_data() {
        QTest::addColumn<QStringList>("present");
        QTest::newRow("new shop") << QStringList();
        QTest::newRow("only the shop's staff") << QStringList{"DB/ユーザー.csv"};
        QTest::newRow("everything but the messages") << QStringList{kStartingFiles[0]} + kStartingFiles.mid(2);
    }

    void folderIsCompleted() {
        QFETCH(QStringList, present);
        QTemporaryDir home;
        for (const QString& file : present) {
            QDir(home.path()).mkpath(QFileInfo(file).path());
            QFile f(home.filePath(file));
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write("own " + file.toUtf8()) > 0);
        }
        const Completion done = completeApplicationFolder(home.path(), kStarting);
        for (const QString& file : kStartingFiles) {
            const bool wasThere = present.contains(file);
            QCOMPARE(done.created.contains(file), !wasThere);
            QCOMPARE(test::fileBytes(home.filePath(file)),
                     wasThere ? "own " + file.toUtf8() : test::fileBytes(kStarting + '/' + file));
        }
        QCOMPARE(done.createdUsers(), !present.contains("DB/ユーザー.csv"));
        QVERIFY(QFileInfo(home.filePath("出力帳票")).isDir());
        const auto first = snapshot(home.path());
        QCOMPARE(first.keys(), kStartingFiles);
        QTest::qWait(20);  // a rewritten file would show a later time
        QVERIFY(completeApplicationFolder(home.path(), kStarting).created.isEmpty());
        QCOMPARE(snapshot(home.path()), first);
    }

    void failedWriteLeavesNoPartFile() {
        QTemporaryDir home;
        std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails with EFBIG instead of ending the process
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        {
            const auto restore = qScopeGuard([&] { setrlimit(RLIMIT_FSIZE, &old); });
            const rlimit limit{512, old.rlim_max};  // the templates come first and are larger
            setrlimit(RLIMIT_FSIZE, &limit);
            QVERIFY_THROWS_EXCEPTION(StoreError, completeApplicationFolder(home.path(), kStarting));
        }
        QCOMPARE(snapshot(home.path()).keys(), QStringList());
        QCOMPARE(completeApplicationFolder(home.path(), kStarting).created.size(), kStartingFiles.size());
    }

    // Without its starting folder the program still opens a folder in use, but cannot make a new one.
    void missingStartingFolder() {
        QTemporaryDir home;
        QVERIFY(QDir(home.path()).mkdir("DB"));
        QVERIFY(completeApplicationFolder(home.path(), "/nonexistent").created.isEmpty());
        try {
            completeApplicationFolder(home.filePath("new"), "/nonexistent");
            QFAIL("a new folder made without its starting tables");
        } catch (const StoreError& e) {
            QCOMPARE(e.message(),
                     "新しいデータフォルダに入れる初期データ「/nonexistent/DB」が見つかりません。"
                     "プログラムをインストールし直してください。");
        }
    }
};

QTEST_MAIN(TestAppFolder)
#include "tst_appfolder.moc"
