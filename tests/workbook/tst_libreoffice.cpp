#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <signal.h>

#include "workbook/libreofficespreadsheet.h"
#include "workbook/lockfile.h"
#include "workbook/officeprocess.h"
#include "workbook/runningoffice.h"
#include "workbook/xlsencryption.h"

using namespace tsumiki;
using namespace std::chrono_literals;

namespace {

// Every call into the office takes as long as `taking` says, without anyone waiting for it.
class SlowMachine final : public CallTimer {
public:
    void start() override {}
    std::chrono::milliseconds elapsed() const override { return taking; }
    std::chrono::milliseconds taking{0};
};

}  // namespace

// Cells, protection and passwords are tested through the workbook export, which drives this adapter.
class TestLibreOffice : public QObject {
    Q_OBJECT
private slots:

    void initTestCase() {
        if (!LibreOfficeSpreadsheet::isInstalled({})) {
            QSKIP("LibreOffice Calc is not installed; the workbook tests need " TSUMIKI_OFFICE_PROGRAM_DIR "/soffice");
        }
        office_ =
            std::make_unique<LibreOfficeSpreadsheet>(LibreOfficeSettings{.profileFolder = dir_.filePath("profile")});
    }

    void cleanupTestCase() { office_.reset(); }

    // Whichever run of the program started the office that holds a workbook, the workbook is in use; a new run joins
    // an office it finds on its own profile instead of starting a second one there.
    void workbookHeldByAnotherRunsOffice_data() {
        QTest::addColumn<bool>("ourProfile");
        QTest::newRow("an earlier run's office, left open") << true;
        QTest::newRow("an office on another profile") << false;
    }
    void workbookHeldByAnotherRunsOffice() {
        QFETCH(bool, ourProfile);
        const QString profile = dir_.filePath(ourProfile ? "profile-of-runs" : "profile-of-the-user");
        const QString held = copyTemplate(QStringLiteral("先の実行_%1.xls").arg(ourProfile));
        OfficeProcess holder;
        QVERIFY(holder.start(LibreOfficeSettings{}.program,
                             {"--headless", "--norestore", "--nologo",
                              QStringLiteral("--accept=pipe,name=tst_holder_%1;urp;StarOffice.ComponentContext")
                                  .arg(QCoreApplication::applicationPid()),
                              "-env:UserInstallation=" + QUrl::fromLocalFile(profile).toString(), held},
                             {}));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(lockfile::pathFor(held)), 120000);
        const std::optional<RunningOffice> holding = findOfficeUsing(QUrl::fromLocalFile(profile).toString());
        QVERIFY(holding);

        LibreOfficeSpreadsheet newRun(LibreOfficeSettings{.profileFolder = dir_.filePath("profile-of-runs")});
        QVERIFY(newRun.isInUse(held));
        std::unique_ptr<Workbook> book =
            newRun.open(copyTemplate(QStringLiteral("次_%1.xls").arg(ourProfile)), QString());
        QVERIFY2(book, qPrintable(newRun.errorString()));
        QCOMPARE(newRun.processId() == holding->pid, ourProfile);
        QVERIFY(newRun.isInUse(held));
        QVERIFY(QFile::exists(lockfile::pathFor(held)));
    }

    // Another machine's lock is taken at its word; one of an office here that is gone is stale and cleared out of the
    // way, so the office opens the workbook without asking anyone.
    void lockOfAnOfficeElsewhere() {
        for (const auto& [host, inUse] : {std::pair{lockfile::localHostName(), false}, {"elsewhere.example", true}}) {
            const QString source = copyTemplate("古い鍵.xls");
            QFile lock(lockfile::pathFor(source));
            QVERIFY(lock.open(QIODevice::WriteOnly | QIODevice::Truncate));
            lock.write(QStringLiteral(",someone,%1,07.12.2026 01:00,file:///nowhere/profile;").arg(host).toUtf8());
            lock.close();
            QCOMPARE(office_->isInUse(source), inUse);
            QCOMPARE(lock.exists(), inUse);
            if (!inUse) {
                QVERIFY2(office_->open(source, QString()), qPrintable(office_->errorString()));
            }
            lock.remove();
        }
    }

    // A slow machine is waited for while the screen goes on handling its events; a hung office is still ended.
    void slowOfficeWaitedForHungOneEnded() {
        const auto machine = std::make_shared<SlowMachine>();
        LibreOfficeSpreadsheet office(
            LibreOfficeSettings{.profileFolder = dir_.filePath("profile-slow"), .callTimer = machine});
        const QString source = copyTemplate("止まる.xls");
        machine->taking = 100s;  // more than any later call may take, within what a first start and load may
        bool screenServed = false;
        QTimer::singleShot(0, [&] { screenServed = true; });
        std::unique_ptr<Workbook> book = office.open(source, QString());
        QVERIFY2(book, qPrintable(office.errorString()));
        QVERIFY(screenServed);
        machine->taking = 0s;
        QVERIFY(book->unprotectSheet());

        const qint64 pid = office.processId();
        QCOMPARE(::kill(-pid_t(pid), SIGSTOP), 0);  // frozen, as a hung office would be
        machine->taking = 30s;
        QVERIFY(!book->writeText(7, 2, "1"));
        QCOMPARE(book->errorString(), QStringLiteral("LibreOffice が応答しないため終了させました。"));
        QCOMPARE(::kill(pid_t(pid), 0), -1);  // ended and reaped
        book.reset();
        machine->taking = 0s;
        // The next workbook starts a fresh office in the same profile; the lock the ended one left is no hindrance.
        QVERIFY(QFile::exists(lockfile::pathFor(source)));
        book = office.open(copyTemplate("次.xls"), QString());
        QVERIFY2(book, qPrintable(office.errorString()));
        QVERIFY(office.processId() != pid);
        QVERIFY(!office.isInUse(source));
        QVERIFY(office.open(source, QString()));
    }

    void missingOfficeIsReported() {
        LibreOfficeSpreadsheet none(
            LibreOfficeSettings{.program = "/nonexistent/soffice", .profileFolder = dir_.filePath("p")});
        QVERIFY(!none.open(copyTemplate("無い.xls"), QString()));
        QVERIFY(none.errorString().contains(u"見つかりません"));
    }

    // A file that announces encryption but carries its records in the clear, as an office release once wrote them, does
    // not pass for encrypted.
    void encryptionFlagWithoutEncryption() {
        QFile f(copyTemplate("旗だけ.xls"));
        QVERIFY(f.open(QIODevice::ReadWrite));
        QByteArray bytes = f.readAll();
        const qsizetype bof = bytes.indexOf(QByteArray::fromHex("0908100000060500"));
        QVERIFY(bof > 0);
        QCOMPARE(bytes.mid(bof + 20, 2), QByteArray::fromHex("e100"));
        bytes[bof + 20] = 0x2F;  // the record after the first now reads as the encryption header
        bytes[bof + 21] = 0x00;
        f.seek(0);
        f.write(bytes);
        f.close();
        QCOMPARE(XlsEncryptionOf(f.fileName()), XlsEncryption::Plain);
        QCOMPARE(XlsEncryptionOf(dir_.filePath("無いファイル.xls")), XlsEncryption::NotAWorkbook);
    }

private:
    QString copyTemplate(const QString& name) {
        const QString path = dir_.filePath(name);
        QFile::remove(path);
        QFile::copy(QStringLiteral(TSUMIKI_TEMPLATE_DIR "/勤務表個人.xls"), path);
        QFile(path).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        return path;
    }
    QTemporaryDir dir_;
    std::unique_ptr<LibreOfficeSpreadsheet> office_;
};

QTEST_GUILESS_MAIN(TestLibreOffice)
#include "tst_libreoffice.moc"
