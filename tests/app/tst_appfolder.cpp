#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
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
        QFile f(it.next());
        f.open(QIODevice::ReadOnly);
        files.insert(QDir(folder).relativeFilePath(f.fileName()), {f.readAll(), it.fileInfo().lastModified()});
    }
    return files;
}

QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Each value of the column by the key column, as the store reads the table.
QMap<QString, Value> valuesBy(const TableStore& store, Table table, const QString& key, const QString& column) {
    const TablePtr t = store.read(table);
    QMap<QString, Value> out;
    for (int row = 0; row < t->rowCount(); ++row) {
        out.insert(t->value(row, t->column(key)).value_or(QString()), t->value(row, t->column(column)));
    }
    return out;
}

// Writes beyond `bytes` fail with EFBIG in this process while the object lives.
struct FileSizeLimit {
    explicit FileSizeLimit(rlim_t bytes) : previous(std::signal(SIGXFSZ, SIG_IGN)) {
        getrlimit(RLIMIT_FSIZE, &old);
        const rlimit limit{bytes, old.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, previous);
    }
    void (*previous)(int);
    rlimit old{};
};

}  // namespace

class TestAppFolder : public QObject {
    Q_OBJECT
private slots:
    void folderIsChosen_data() {
        QTest::addColumn<bool>("dbBesideProgram");
        QTest::addColumn<QString>("xdgDataHome");
        QTest::addColumn<QString>("expected");  // $P the program's folder
        QTest::newRow("program kept with its data") << true << "/data"
                                                    << "$P";
        QTest::newRow("installed, XDG_DATA_HOME set") << false << "/data"
                                                      << "/data/tsumiki";
        QTest::newRow("installed, XDG_DATA_HOME unset") << false << ""
                                                        << "/home/shop/.local/share/tsumiki";
        QTest::newRow("relative XDG_DATA_HOME ignored") << false << "data"
                                                        << "/home/shop/.local/share/tsumiki";
    }

    void folderIsChosen() {
        QFETCH(bool, dbBesideProgram);
        QFETCH(QString, xdgDataHome);
        QFETCH(QString, expected);
        QTemporaryDir program;
        QVERIFY(!dbBesideProgram || QDir(program.path()).mkdir("DB"));
        const ApplicationFolder chosen = chooseApplicationFolder(program.path(), xdgDataHome, "/home/shop");
        QCOMPARE(chosen.path, expected.replace("$P", program.path()));
        QCOMPARE(chosen.portable, dbBesideProgram);
    }

    void firstStartGivesANewShopAndTheSecondChangesNothing() {
        QTemporaryDir home;
        const QString folder = home.filePath("tsumiki");
        const Completion done = completeApplicationFolder(folder, kStarting);
        QCOMPARE(QSet<QString>(done.created.begin(), done.created.end()),
                 QSet<QString>(kStartingFiles.begin(), kStartingFiles.end()));
        QVERIFY(done.createdUsers());
        QVERIFY(QFileInfo(folder + "/出力帳票").isDir());
        const auto first = snapshot(folder);
        QCOMPARE(first.keys(), snapshot(kStarting).keys());  // no temporary file left behind
        for (const QString& file : kStartingFiles) {
            const QByteArray bytes = first[file].first;
            QCOMPARE(bytes, bytesOf(kStarting + '/' + file));
            QVERIFY2(!file.startsWith("DB/") ||
                         (bytes.endsWith("\r\n") && !QByteArray(bytes).replace("\r\n", "").contains('\n')),
                     qPrintable(file));
        }

        // Read back through the store: the sample's day change and rounding without a workbook password, every
        // message of the sample, no clock rows, and an administrator who can log in.
        const TableStore store(folder);
        checkDataFolder(store);
        const TableStore sample(TSUMIKI_SOURCE_DIR "/data");
        QMap<QString, Value> settings = valuesBy(sample, Table::Control, "CTLCODE", "CODE1");
        settings["CTL0005"] = std::nullopt;
        QCOMPARE(valuesBy(store, Table::Control, "CTLCODE", "CODE1"), settings);
        QCOMPARE(valuesBy(store, Table::Message, "MSGID", "MESSAGE"),
                 valuesBy(sample, Table::Message, "MSGID", "MESSAGE"));
        QCOMPARE(store.read(Table::Clock)->rowCount(), 0);
        QCOMPARE(valuesBy(store, Table::User, "ID", "USERNAME"), (QMap<QString, Value>{{"0001", QString("管理者")}}));
        QCOMPARE(GetUserAuthority(store, "0001"), QString("ADMIN"));

        QTest::qWait(20);  // a rewritten file would show a later time
        const Completion again = completeApplicationFolder(folder, kStarting);
        QVERIFY(again.created.isEmpty() && !again.createdUsers());
        QCOMPARE(snapshot(folder), first);
    }

    void partlyPresentFolderIsCompleted_data() {
        QTest::addColumn<QStringList>("present");
        QTest::newRow("only the shop's staff") << QStringList{"DB/ユーザー.csv"};
        QTest::newRow("tables without templates") << kStartingFiles.mid(0, 4);
        QTest::newRow("templates and clock rows") << QStringList{"DB/個人出退勤時間.csv"} + kStartingFiles.mid(4);
        QTest::newRow("everything but the messages") << QStringList{kStartingFiles[0]} + kStartingFiles.mid(2);
    }

    void partlyPresentFolderIsCompleted() {
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
            QCOMPARE(bytesOf(home.filePath(file)), wasThere ? "own " + file.toUtf8() : bytesOf(kStarting + '/' + file));
        }
        QCOMPARE(done.createdUsers(), !present.contains("DB/ユーザー.csv"));
    }

    void failedWriteLeavesNoPartFile() {
        QTemporaryDir home;
        {
            const FileSizeLimit limit(512);  // the templates come first and are larger
            QVERIFY_THROWS_EXCEPTION(StoreError, completeApplicationFolder(home.path(), kStarting));
        }
        QCOMPARE(snapshot(home.path()).keys(), QStringList());
        QCOMPARE(completeApplicationFolder(home.path(), kStarting).created.size(), kStartingFiles.size());
    }

    void unusableFolderIsReported_data() {
        QTest::addColumn<QString>("folder");  // below the temporary folder, which holds a file "file"
        QTest::addColumn<QString>("starting");
        QTest::addColumn<QString>("message");  // %1 the temporary folder; empty when nothing is to be done
        QTest::newRow("folder below a file")
            << "file/tsumiki" << kStarting
            << "データフォルダ「%1/file/tsumiki/excelテンプレート」を作成できません。書き込みの権限とディスクの空きを"
               "確かめてください。";
        QTest::newRow("new folder, no starting folder")
            << "tsumiki"
            << "/nonexistent"
            << "新しいデータフォルダに入れる初期データ「/nonexistent/DB」が見つかりません。プログラムをインストールし"
               "直してください。";
        QTest::newRow("folder in use, no starting folder") << ""
                                                           << "/nonexistent"
                                                           << "";
    }

    void unusableFolderIsReported() {
        QFETCH(QString, folder);
        QFETCH(QString, starting);
        QFETCH(QString, message);
        QTemporaryDir home;
        QFile(home.filePath("file")).open(QIODevice::WriteOnly);
        QDir(home.path()).mkdir("DB");
        try {
            QVERIFY(completeApplicationFolder(home.filePath(folder), starting).created.isEmpty());
            QCOMPARE(QString(), message);
        } catch (const StoreError& e) {
            QCOMPARE(e.message(), message.replace("%1", home.path()));
        }
    }
};

QTEST_MAIN(TestAppFolder)
#include "tst_appfolder.moc"
