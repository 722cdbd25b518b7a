#include <QAccessible>
#include <QCheckBox>
#include <QLabel>
#include <QTest>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "frontdesk/form1.h"
#include "frontdeskfixture.h"
#include "store/tablelock.h"
#include "ui/controlnames.h"

using namespace tsumiki;
namespace n = tsumiki::names::form1;

namespace {

const QString kDay = "2026/12/05 5:00:00";  // the business date 2026/12/05, day change 05:00

QString row(const QString& inputTime, const QString& timePrint, const QString& kind, const QString& douhan = {}) {
    return test::clockRow("0002", inputTime, timePrint, kind, douhan);
}

// The clock screen opened for さくら (0002), as the login screen opens it.
struct ClockScreen {
    explicit ClockScreen(test::FrontDesk& desk, const QString& authority = "0") : form(desk.context) {
        form.setLoginUserId("0002");
        form.setLoginUserName("さくら");
        form.setLoginAuthority(authority);
        form.show();
    }
    QString text(QLatin1String label) { return form.findChild<QLabel*>(label)->text(); }
    QWidget* find(const QString& name) { return form.findChild<QWidget*>(name); }
    void click(const QString& name) { QTest::mouseClick(find(name), Qt::LeftButton); }
    // The date, the clock-in time and date, the clock-out time, the greeting, which of 出勤, 同伴 and 退出 can be
    // used, and 同伴 when it is ticked.
    QString shown() {
        QString shown;
        for (QLatin1String label : {n::today, n::clockInTime, n::clockInDate, n::clockOutTime, n::greeting}) {
            shown += text(label) + '|';
        }
        for (const auto& [name, word] :
             {std::pair{n::clockInButton, "in "}, {n::douhanBox, "douhan "}, {n::clockOutButton, "out"}}) {
            shown += find(name)->isEnabled() ? word : "";
        }
        return shown.trimmed() + (form.findChild<QCheckBox*>(n::douhanBox)->isChecked() ? "|同伴" : "|");
    }
    Form1 form;
};

}  // namespace

class TestForm1 : public QObject {
    Q_OBJECT
private slots:
    void clicksRecordTheDay_data() {
        QTest::addColumn<QString>("dayChange");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("now");
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<QString>("written");  // empty when refused
        QTest::addColumn<QString>("shown");    // as ClockScreen::shown()
        const QStringList in{n::clockInButton}, inWithDouhan{n::douhanBox, n::clockInButton}, out{n::clockOutButton};
        const QStringList clockedIn{row(kDay, "2026/12/05 09:15", "1", "0")};
        QTest::newRow("clock-in with 同伴, seconds dropped")
            << "05:00" << QStringList() << "2026/12/05 20:00:59" << inWithDouhan
            << row(kDay, "2026/12/05 20:00", "1", "1") << "2026年12月05日|20:00|2026/12/05||おはよう2|out|同伴";
        QTest::newRow("clock-in rounded past midnight")
            << "05:00" << QStringList() << "2026/12/05 23:50:00" << in << row(kDay, "2026/12/06 00:00", "1", "0")
            << "2026年12月05日|00:00|2026/12/06||おはよう2|out|";
        QTest::newRow("clock-out a second before the shown clock-in")
            << "05:00" << clockedIn << "2026/12/05 09:14:59" << out << QString()
            << "2026年12月05日|09:15|2026/12/05|||out|";
        QTest::newRow("clock-out at the shown clock-in")
            << "05:00" << clockedIn << "2026/12/05 09:15:00" << out << row(kDay, "2026/12/05 09:15", "2")
            << "2026年12月05日|09:15|2026/12/05|09:15|おつかれ2||";
        QTest::newRow("clock-out after midnight of a night shift")
            << "05:00" << QStringList{row(kDay, "2026/12/05 21:15", "1", "0")} << "2026/12/06 02:37:00" << out
            << row(kDay, "2026/12/06 02:30", "2") << "2026年12月06日|21:15|2026/12/05|02:30|おつかれ2||";
        // A forgotten or unreadable clock-in must not keep anyone from leaving.
        QTest::newRow("evening clock-in, day changing at midnight")
            << "00:00" << QStringList{row("2026/12/05", "2026/12/05 21:15", "1", "0")} << "2026/12/06 01:10:00" << out
            << row("2026/12/06", "2026/12/06 01:00", "2") << "2026年12月06日|||01:00|おつかれ2|in douhan|";
        QTest::newRow("hand-edited clock-in")
            << "05:00" << QStringList{row(kDay, "朝", "1", "0")} << "2026/12/05 08:00:00" << out
            << row(kDay, "2026/12/05 08:00", "2") << "2026年12月05日|朝||08:00|おつかれ2||";
    }

    void clicksRecordTheDay() {
        QFETCH(QString, dayChange);
        QFETCH(QStringList, rows);
        QFETCH(QString, now);
        QFETCH(QStringList, clicks);
        QFETCH(QString, written);
        QFETCH(QString, shown);
        test::FrontDesk desk;
        desk.folder.writeSettings(dayChange);
        desk.folder.writeClockRows(rows);
        desk.clock.set(now);
        ClockScreen screen(desk);
        for (const QString& name : clicks) {
            screen.click(name);
        }
        const bool refused = written.isEmpty();
        QCOMPARE(desk.clockRows(), refused ? rows : rows + QStringList{written});
        QCOMPARE(desk.boxes.errorTexts(),
                 refused ? QStringList{"まだ出勤時間になっていないため退出できません。"} : QStringList());
        QCOMPARE(screen.shown(), shown);
        // A screen reader reads the time, or the caption while there is none.
        const QString inTime = screen.text(n::clockInTime);
        QCOMPARE(QAccessible::queryAccessibleInterface(screen.form.findChild<QLabel*>(n::clockInTime))
                     ->text(QAccessible::Name),
                 inTime.isEmpty() ? "出勤時間" : inTime);
    }

    void adminButtonsByAuthority() {
        // Exactly ADMIN: not in lower case, not with a trailing blank.
        for (const auto& [authority, admin] :
             {std::pair{"ADMIN", true}, {"0", false}, {"admin", false}, {"ADMIN ", false}}) {
            test::FrontDesk desk;
            desk.clock.set("2026/12/05 09:07:00");
            ClockScreen screen(desk, authority);
            QStringList opened;
            desk.navigator.onShow = [&](QDialog& dialog) {
                opened << dialog.objectName();
                if (dialog.objectName() == "Menu_Mast") {  // the day corrected in an editor
                    desk.folder.writeClockRows(
                        {row(kDay, "2026/12/05 08:00", "1", "1"), row(kDay, "2026/12/05 18:00", "2")});
                }
            };
            screen.click(n::clockInButton);
            const QString clockedIn = screen.shown();
            // The sheets change no clock row, so the greeting stays; the screen refreshes after the maintenance.
            screen.click(n::sheetsButton);
            QCOMPARE(screen.shown(), clockedIn);
            screen.click(n::maintenanceButton);
            QCOMPARE(screen.shown(), admin ? "2026年12月05日|08:00|2026/12/05|18:00|||同伴" : clockedIn);
            QCOMPARE(opened, (admin ? QStringList{"Form2", "Menu_Mast"} : QStringList()));
        }
    }

    // Another copy of the program holds the clock table (an editor saving): the click writes nothing, says so, and
    // leaves the screen as it was, to be pressed again.
    void busyTableLeavesTheScreenAsItWas() {
        test::FrontDesk desk;
        desk.clock.set("2026/12/05 09:07:00");
        ClockScreen screen(desk);
        const QString before = "2026年12月05日|||||in douhan out|";
        QCOMPARE(screen.shown(), before);
        TableLock::setWaitMs(50);
        const int other = ::open(QFile::encodeName(TableLock::lockPathOf(desk.store, Table::Clock)).constData(),
                                 O_RDWR | O_CREAT, 0644);
        QVERIFY(other >= 0 && ::flock(other, LOCK_EX) == 0);
        screen.click(n::clockInButton);
        screen.click(n::clockOutButton);
        ::close(other);
        TableLock::setWaitMs(5000);
        QCOMPARE(desk.boxes.errorTexts().filter("個人出退勤時間.csv」は別の画面またはプログラムが更新中です").size(),
                 2);
        QCOMPARE(screen.shown(), before);  // both buttons usable again
        QVERIFY(desk.clockRows().isEmpty());
    }
};

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
