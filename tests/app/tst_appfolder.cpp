#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>
#include <csignal>

#include "app/appfolder.h"
#include "app/startup.h"
#include "fakenavigator.h"
#include "fakespreadsheet.h"
#include "frontdesk/form0.h"
#include "store/lookups.h"
#include "store/queries.h"
#include "store/storeerror.h"
#include "testsupport.h"
#include "ui/appcontext.h"
#include "ui/controlnames.h"

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

void write(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
}

// Each value of the column, by the key column, as the store reads the table.
QMap<QString, Value> valuesBy(const TableStore& store, Table table, const QString& key, const QString& column) {
    const TablePtr t = store.read(table);
    QMap<QString, Value> out;
    for (int row = 0; row < t->rowCount(); ++row) {
        out.insert(t->value(row, t->column(key)).value_or(QString()), t->value(row, t->column(column)));
    }
    return out;
}

// Writes beyond `bytes` fail in this process (EFBIG) until the object goes; the signal that would end the
// process is ignored meanwhile.
struct FileSizeLimit {
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &old);
        previous = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{bytes, old.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, previous);
    }
    rlimit old{};
    void (*previous)(int) = nullptr;
};

}  // namespace

class TestAppFolder : public QObject {
    Q_OBJECT
private slots:
    void folderIsChosen_data() {
        QTest::addColumn<bool>("dbBesideProgram");
        QTest::addColumn<QString>("xdgDataHome");
        QTest::addColumn<QString>("expected");  // $P the program's folder, $H the home folder
        QTest::newRow("program kept with its data") << true << "/data"
                                                    << "$P";
        QTest::newRow("installed, XDG_DATA_HOME set") << false << "/data"
                                                      << "/data/tsumiki";
        QTest::newRow("installed, XDG_DATA_HOME unset") << false << ""
                                                        << "$H/.local/share/tsumiki";
        QTest::newRow("relative XDG_DATA_HOME ignored") << false << "data"
                                                        << "$H/.local/share/tsumiki";
    }

    void folderIsChosen() {
        QFETCH(bool, dbBesideProgram);
        QFETCH(QString, xdgDataHome);
        QFETCH(QString, expected);
        QTemporaryDir program;
        if (dbBesideProgram) {
            QDir(program.path()).mkdir("DB");
        }
        const ApplicationFolder chosen = chooseApplicationFolder(program.path(), xdgDataHome, "/home/shop");
        QCOMPARE(chosen.path, QString(expected).replace("$P", program.path()).replace("$H", "/home/shop"));
        QCOMPARE(chosen.portable, dbBesideProgram);
    }

    void firstStartGivesANewShop() {
        QTemporaryDir home;
        const QString folder = home.filePath("tsumiki");
        const Completion done = completeApplicationFolder(folder, kStarting);
        QCOMPARE(QSet<QString>(done.created.begin(), done.created.end()),
                 QSet<QString>(kStartingFiles.begin(), kStartingFiles.end()));
        QVERIFY(done.createdUsers());
        QVERIFY(QFileInfo(folder + "/出力帳票").isDir());
        QCOMPARE(snapshot(folder).keys(), QStringList(snapshot(kStarting).keys()));  // no temporary file left
        for (const QString& file : kStartingFiles) {
            QCOMPARE(bytesOf(folder + '/' + file), bytesOf(kStarting + '/' + file));
        }

        // The tables read back through the store: the sample's day change and rounding without a workbook
        // password, every message of the sample, one administrator and no clock rows.
        const TableStore store(folder);
        checkDataFolder(store);
        const TableStore sample(TSUMIKI_SOURCE_DIR "/data");
        QMap<QString, Value> settings = valuesBy(sample, Table::Control, "CTLCODE", "CODE1");
        settings["CTL0005"] = std::nullopt;
        QCOMPARE(valuesBy(store, Table::Control, "CTLCODE", "CODE1"), settings);
        QCOMPARE(valuesBy(store, Table::Message, "MSGID", "MESSAGE"),
                 valuesBy(sample, Table::Message, "MSGID", "MESSAGE"));
        QCOMPARE(AllUsers(store.read(Table::User)).size(), 1);
        QCOMPARE(store.read(Table::Clock)->rowCount(), 0);
        for (const char* table : {"DB/コントロール.csv", "DB/ユーザー.csv", "DB/個人出退勤時間.csv"}) {
            const QByteArray bytes = bytesOf(folder + QChar(u'/') + table);
            QVERIFY2(bytes.endsWith("\r\n") && bytes.count('\n') == bytes.count("\r\n"), qPrintable(table));
        }

        // The administrator logs in on the login screen and reaches the clock screen as ADMIN.
        TableStore shop(folder);
        test::FakeClock clock;
        test::ScriptedRandom random;
        test::RecordingMessageBoxes boxes;
        test::FakeNavigator navigator;
        test::FakeSpreadsheet spreadsheet;
        test::RecordingPause pause;
        AppContext context{shop, clock, random, boxes, navigator, spreadsheet, pause};
        Form0 login(context);
        login.show();
        QVERIFY(QTest::qWaitForWindowActive(&login));
        auto* box = login.findChild<QLineEdit*>(names::form0::userIdBox);
        box->setFocus();
        QTest::keyClicks(box, "0001");
        QTest::keyClick(box, Qt::Key_Return);
        login.findChild<QPushButton*>(names::form0::nextButton)->click();
        QCOMPARE(navigator.opened.size(), 1);
        QCOMPARE(navigator.opened[0].properties.value("LoginUserName").toString(), QString("管理者"));
        QCOMPARE(navigator.opened[0].properties.value("LoginAuthority").toString(), QString("ADMIN"));
    }

    void secondStartChangesNothing() {
        QTemporaryDir home;
        completeApplicationFolder(home.path(), kStarting);
        const auto before = snapshot(home.path());
        QTest::qWait(20);  // so that a rewritten file would show a later time
        const Completion again = completeApplicationFolder(home.path(), kStarting);
        QVERIFY(again.created.isEmpty());
        QVERIFY(!again.createdUsers());
        QCOMPARE(snapshot(home.path()), before);
    }

    void partlyPresentFolderIsCompleted_data() {
        QTest::addColumn<QStringList>("present");
        QTest::newRow("only the shop's staff") << QStringList{"DB/ユーザー.csv"};
        QTest::newRow("tables without templates") << kStartingFiles.mid(0, 4);
        QTest::newRow("templates and clock rows") << QStringList{"DB/個人出退勤時間.csv"} + kStartingFiles.mid(4);
        QStringList allButMessages = kStartingFiles;
        allButMessages.removeAll("DB/メッセージ.csv");
        QTest::newRow("everything but the messages") << allButMessages;
    }

    void partlyPresentFolderIsCompleted() {
        QFETCH(QStringList, present);
        QTemporaryDir home;
        for (const QString& file : present) {
            write(home.filePath(file), "the shop's own " + file.toUtf8() + "\r\n");
        }
        const Completion done = completeApplicationFolder(home.path(), kStarting);
        for (const QString& file : kStartingFiles) {
            const bool wasThere = present.contains(file);
            QCOMPARE(done.created.contains(file), !wasThere);
            QCOMPARE(bytesOf(home.filePath(file)),
                     wasThere ? "the shop's own " + file.toUtf8() + "\r\n" : bytesOf(kStarting + '/' + file));
        }
        QCOMPARE(done.createdUsers(), !present.contains("DB/ユーザー.csv"));
    }

    void failedWriteLeavesNoPartFile() {
        QTemporaryDir home;
        {
            // The templates come first and are larger than this.
            const FileSizeLimit limit(512);
            QVERIFY_THROWS_EXCEPTION(StoreError, completeApplicationFolder(home.path(), kStarting));
        }
        QCOMPARE(snapshot(home.path()).keys(), QStringList());
        QCOMPARE(completeApplicationFolder(home.path(), kStarting).created.size(), kStartingFiles.size());
    }

    void unusableFolderIsReported_data() {
        QTest::addColumn<QString>("folder");  // below the temporary folder
        QTest::addColumn<QString>("starting");
        QTest::addColumn<QString>("message");  // %1 the temporary folder
        QTest::newRow("folder below a file")
            << "file/tsumiki" << kStarting
            << "データフォルダ「%1/file/tsumiki/excelテンプレート」を作成できません。書き込みの権限とディスクの空きを"
               "確かめてください。";
        QTest::newRow("no starting folder") << "tsumiki"
                                            << "/nonexistent"
                                            << "新しいデータフォルダに入れる初期データ「/nonexistent/DB」が見つかりま"
                                               "せん。プログラムをインストールし直してください。";
    }

    void unusableFolderIsReported() {
        QFETCH(QString, folder);
        QFETCH(QString, starting);
        QFETCH(QString, message);
        QTemporaryDir home;
        write(home.filePath("file"), "x");
        try {
            completeApplicationFolder(home.filePath(folder), starting);
            QFAIL("no error");
        } catch (const StoreError& e) {
            QCOMPARE(e.message(), message.replace("%1", home.path()));
        }
    }

    void folderInUseNeedsNoStartingFolder() {
        QTemporaryDir home;
        QDir(home.path()).mkdir("DB");
        QVERIFY(completeApplicationFolder(home.path(), "/nonexistent").created.isEmpty());
    }
};

QTEST_MAIN(TestAppFolder)
#include "tst_appfolder.moc"
