#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "app/errorboundary.h"
#include "store/storeerror.h"
#include "testsupport.h"

using namespace tsumiki;

namespace {

// A temporary folder to run a program in, on the offscreen platform, with HOME and XDG_DATA_HOME inside it so
// that no run reaches the machine's own per-user folder.
struct Run {
    QString path(const QString& name) const { return QDir(dir.path()).filePath(name); }

    // A copy of the program beside a copy of the sample tables: a folder kept with its data.
    QString besideSample(const QString& program) const {
        const QString copy = path(QFileInfo(program).fileName());
        QFile::copy(program, copy);
        QFile::setPermissions(copy, QFile::ReadOwner | QFile::ExeOwner);
        QDir(dir.path()).mkpath("DB");
        const QDir sample(TSUMIKI_SOURCE_DIR "/data/DB");
        for (const QString& name : sample.entryList({"*.csv"}, QDir::Files)) {
            QFile::copy(sample.filePath(name), path("DB/" + name));
        }
        return copy;
    }

    // The exit code, or -1 when the program had to be killed; standard error goes to `errors`.
    int run(const QString& program, const QStringList& args = {}) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("HOME", path("home"));
        env.insert("XDG_DATA_HOME", path("data"));
        p.setProcessEnvironment(env);
        p.start(program, args);
        const bool ended = p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit;
        errors = QString::fromUtf8(p.readAllStandardError());
        return ended ? p.exitCode() : -1;  // one still running is killed with `p`
    }

    QTemporaryDir dir;
    QString errors;
};

}  // namespace

class TestApp : public QObject {
    Q_OBJECT
private slots:
    void failureInAHandlerIsShownOnceAndEndsTheProgram_data() {
        QTest::addColumn<bool>("storeError");
        QTest::addColumn<QString>("text");
        QTest::newRow("store error, as it says") << true << "データフォルダ「/x/DB」が見つかりません。";
        QTest::newRow("any other exception") << false << "予期しないエラーが発生したため終了します。（boom）";
    }

    void failureInAHandlerIsShownOnceAndEndsTheProgram() {
        QFETCH(bool, storeError);
        QFETCH(QString, text);
        test::RecordingMessageBoxes boxes;
        QList<int> exits;
        ErrorBoundary boundary(&boxes, [&exits](int status) { exits.append(status); });
        auto* app = static_cast<GuardedApplication*>(QCoreApplication::instance());
        app->setBoundary(&boundary);
        for (int handler = 0; handler < 2; ++handler) {  // both reached through the event loop, as clicks are
            QMetaObject::invokeMethod(
                app, [&] { storeError ? throw StoreError(text) : throw std::runtime_error("boom"); },
                Qt::QueuedConnection);
        }
        QCoreApplication::processEvents();
        app->setBoundary(nullptr);
        QCOMPARE(boxes.errorTexts(), QStringList{text});
        QCOMPARE(exits, QList<int>{ErrorBoundary::kExitStatus});
    }

    void brokenDataFolderStopsTheStart_data() {
        QTest::addColumn<bool>("keptWithData");
        QTest::addColumn<QString>("message");  // %1 the temporary folder
        QTest::newRow("table missing beside the program")
            << true << "データファイル「%1/DB/ユーザー.csv」が見つかりません。";
        QTest::newRow("per-user folder cannot be made")
            << false
            << "データフォルダ「%1/data/tsumiki/excelテンプレート」を作成できません。"
               "書き込みの権限とディスクの空きを確かめてください。";
    }

    void brokenDataFolderStopsTheStart() {
        // Both are found before anyone logs in, and end the start with the reason.
        QFETCH(bool, keptWithData);
        QFETCH(QString, message);
        Run run;
        QString program = TSUMIKI_EXE;
        if (keptWithData) {
            program = run.besideSample(program);
            QFile::remove(run.path("DB/ユーザー.csv"));
        } else {
            QFile(run.path("data")).open(QIODevice::WriteOnly);  // a file where the folder would go
        }
        QCOMPARE(run.run(program), ErrorBoundary::kExitStatus);
        QCOMPARE(run.errors.count(message.arg(run.dir.path())), 1);
    }

    void walkThroughTheScreens() {
        // The screenshot walk logs the administrator 0001 in, clocks in, opens both sheets, the maintenance menu and
        // its four editors (saving nothing) and logs off, through the program's own start and screens.
        Run run;
        const QString walk = run.besideSample(TSUMIKI_WALK_EXE);
        QFile clock(run.path("DB/個人出退勤時間.csv"));
        const QByteArray header = "USERID,INPUTTIME,TIMEPRINT,ST,DOUHAN\r\n";
        QVERIFY(clock.open(QIODevice::WriteOnly | QIODevice::Truncate) && clock.write(header) > 0);
        clock.close();
        QCOMPARE(run.run(walk, {run.path("shots")}), 0);
        QVERIFY(clock.open(QIODevice::ReadOnly));
        // The walk's clock stands at 18:55 on 2026/11/30; the clock-in is rounded up to the quarter hour.
        QCOMPARE(clock.readAll(), header + "\"0001\",\"2026/11/30 5:00:00\",\"2026/11/30 19:00\",\"1\",\"0\"\r\n");
        QCOMPARE(QDir(run.path("shots")).entryList({"*.png"}, QDir::Files).size(), 14);
        QVERIFY(!QFileInfo::exists(run.path("data/tsumiki")));
    }
};

int main(int argc, char** argv) {
    GuardedApplication app(argc, argv);
    TestApp test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_app.moc"
