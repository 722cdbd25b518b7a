#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "app/errorboundary.h"
#include "store/storeerror.h"
#include "testsupport.h"

using namespace tsumiki;

namespace {

// The built program copied into a fresh application folder (its own folder is its data's folder), with the
// sample tables unless told otherwise, run on the offscreen platform.
struct AppFolder {
    explicit AppFolder(bool withTables) {
        const QString program = path("tsumiki");
        QFile::copy(QString(TSUMIKI_EXE), program);
        QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner);
        if (withTables) {
            const QDir sample(TSUMIKI_SOURCE_DIR "/data/DB");
            QDir(dir.path()).mkpath("DB");
            for (const QString& name : sample.entryList({"*.csv"}, QDir::Files)) {
                QFile::copy(sample.filePath(name), db(name));
            }
        }
    }
    QString path(const QString& name) const { return QDir(dir.path()).filePath(name); }
    QString db(const QString& table = {}) const { return table.isEmpty() ? path("DB") : path("DB/" + table); }

    // The exit code, or -1 when the program had to be killed; standard error goes to `errors`.
    int run(const QString& screenshots = {}) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        if (!screenshots.isEmpty()) {
            env.insert("TSUMIKI_SCREENSHOT_DIR", screenshots);
        }
        p.setProcessEnvironment(env);
        p.start(path("tsumiki"), {});
        const bool ended = p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit;
        if (!ended) {
            p.kill();
            p.waitForFinished();
        }
        errors = QString::fromUtf8(p.readAllStandardError());
        return ended ? p.exitCode() : -1;
    }
    QTemporaryDir dir;
    QString errors;
};

}  // namespace

class TestApp : public QObject {
    Q_OBJECT
private slots:
    void failureInAHandlerIsShownOnceAndEndsTheProgram_data();
    void failureInAHandlerIsShownOnceAndEndsTheProgram();
    void brokenDataFolderStopsTheStart();
    void logsInAndClocksInWithTheSampleData();
};

void TestApp::failureInAHandlerIsShownOnceAndEndsTheProgram_data() {
    QTest::addColumn<bool>("storeError");
    QTest::addColumn<QString>("text");
    QTest::newRow("store error") << true << "データフォルダ「/x/DB」が見つかりません。";
    QTest::newRow("any other exception") << false << "予期しないエラーが発生したため終了します。（boom）";
}

void TestApp::failureInAHandlerIsShownOnceAndEndsTheProgram() {
    QFETCH(bool, storeError);
    QFETCH(QString, text);
    test::RecordingMessageBoxes boxes;
    QList<int> exits;
    ErrorBoundary boundary(&boxes, [&exits](int status) { exits.append(status); });
    auto* app = static_cast<GuardedApplication*>(QCoreApplication::instance());
    app->setBoundary(&boundary);
    QPushButton button(QString("x"));
    QObject::connect(&button, &QPushButton::clicked, [&] {
        if (storeError) {
            throw StoreError(QString("データフォルダ「/x/DB」が見つかりません。"));
        }
        throw std::runtime_error("boom");
    });
    button.show();
    QVERIFY(QTest::qWaitForWindowExposed(&button));
    QTest::mouseClick(&button, Qt::LeftButton);
    QTest::mouseClick(&button, Qt::LeftButton);
    app->setBoundary(nullptr);

    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(boxes.shown[0].title, "エラー");
    QCOMPARE(boxes.shown[0].text, text);
    QCOMPARE(boxes.shown[0].icon, MessageIcon::Exclamation);
    QCOMPARE(exits, QList<int>{ErrorBoundary::kExitStatus});
}

void TestApp::brokenDataFolderStopsTheStart() {
    // Without its folder, and with a table missing: the start reads every table before anyone logs in.
    for (const bool withTables : {false, true}) {
        AppFolder folder(withTables);
        if (withTables) {
            QVERIFY(QFile::remove(folder.db("ユーザー.csv")));
        }
        QCOMPARE(folder.run(), ErrorBoundary::kExitStatus);
        const QString message = withTables ? "データファイル「%1/ユーザー.csv」が見つかりません。"
                                           : "データフォルダ「%1」が見つかりません。";
        QCOMPARE(folder.errors.count(message.arg(folder.db())), 1);
    }
}

void TestApp::logsInAndClocksInWithTheSampleData() {
    // The screenshot walk logs the administrator 0001 in, clocks in, opens both sheets, the maintenance menu and
    // its four editors (saving nothing) and logs off, through the real program and its own clock.
    AppFolder folder(true);
    const QString clockTable = folder.db("個人出退勤時間.csv");
    QFile empty(clockTable);
    QVERIFY(empty.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
            empty.write("USERID,INPUTTIME,TIMEPRINT,ST,DOUHAN\r\n") > 0);
    empty.close();
    const QString shots = folder.path("shots");
    QCOMPARE(folder.run(shots), 0);
    QFile f(clockTable);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = f.readAll().split('\n');
    QCOMPARE(lines.size(), 3);  // the header, the clock-in, and nothing after the last line end
    QVERIFY2(lines[1].startsWith("\"0001\",\"") && lines[1].endsWith(",\"1\",\"0\"\r"), lines[1].constData());
    const QStringList pictures = QDir(shots).entryList({QString("*.png")}, QDir::Files);
    QCOMPARE(pictures.size(), 14);
    QVERIFY(pictures.contains(QString("8-individual-sheet.png")));
    QVERIFY(pictures.contains(QString("11-Mast_Kinmu.png")));
    QVERIFY(pictures.contains(QString("9-all-staff-sheet.png")));
}

int main(int argc, char** argv) {
    GuardedApplication app(argc, argv);
    TestApp test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_app.moc"
