#include <QAccessible>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
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
    QPushButton* button(QLatin1String name) { return form.findChild<QPushButton*>(name); }
    QCheckBox* douhan() { return form.findChild<QCheckBox*>(n::douhanBox); }
    void click(QLatin1String name) { QTest::mouseClick(button(name), Qt::LeftButton); }
    // Which of 出勤, 同伴 and 退出 can be used.
    QString usable() {
        return QString(button(n::clockInButton)->isEnabled() ? "in " : "") + (douhan()->isEnabled() ? "douhan " : "") +
               (button(n::clockOutButton)->isEnabled() ? "out" : "");
    }
    Form1 form;
};

}  // namespace

class TestForm1 : public QObject {
    Q_OBJECT
private slots:
    void opensWithTheDaysTimes_data() {
        QTest::addColumn<QString>("now");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QStringList>("shown");  // date, clock-in time, clock-in date, clock-out time, usable
        QTest::addColumn<bool>("douhan");
        const QString in = row(kDay, "2026/12/05 09:15", "1", "1");
        const QString out = row(kDay, "2026/12/05 18:00", "2");
        const QString evening = row(kDay, "2026/12/05 21:15", "1", "0");
        QTest::newRow("nothing recorded") << "2026/12/05 09:07:00" << QStringList{}
                                          << QStringList{"2026年12月05日", "", "", "", "in douhan out"} << false;
        QTest::newRow("clocked in with 同伴")
            << "2026/12/05 12:00:00" << QStringList{in}
            << QStringList{"2026年12月05日", "09:15", "2026/12/05", "", "out"} << true;
        QTest::newRow("clocked in and out")
            << "2026/12/05 19:00:00" << QStringList{in, out}
            << QStringList{"2026年12月05日", "09:15", "2026/12/05", "18:00", ""} << true;
        QTest::newRow("after midnight of a night shift")
            << "2026/12/06 02:30:00" << QStringList{evening}
            << QStringList{"2026年12月06日", "21:15", "2026/12/05", "", "out"} << false;
        QTest::newRow("a hand-edited time") << "2026/12/05 12:00:00" << QStringList{row(kDay, "朝", "1", "0")}
                                            << QStringList{"2026年12月05日", "朝", "", "", "out"} << false;
    }

    void opensWithTheDaysTimes() {
        QFETCH(QString, now);
        QFETCH(QStringList, rows);
        QFETCH(QStringList, shown);
        QFETCH(bool, douhan);
        test::FrontDesk desk;
        desk.clock.set(now);
        desk.folder.writeClockRows(rows);
        ClockScreen screen(desk);
        QCOMPARE((QStringList{screen.text(n::today), screen.text(n::clockInTime), screen.text(n::clockInDate),
                              screen.text(n::clockOutTime), screen.usable()}),
                 shown);
        QCOMPARE(screen.text(n::nickname), "さくら");
        // A screen reader reads the time, or the caption while there is none.
        QCOMPARE(QAccessible::queryAccessibleInterface(screen.form.findChild<QLabel*>(n::clockInTime))
                     ->text(QAccessible::Name),
                 shown[1].isEmpty() ? "出勤時間" : shown[1]);
        QVERIFY(screen.text(n::greeting).isEmpty());
        QCOMPARE(screen.douhan()->isChecked(), douhan);
    }

    void adminButtonsByAuthority() {
        // Exactly ADMIN: not in lower case, not with a trailing blank.
        for (const auto& [authority, admin] :
             {std::pair{"ADMIN", true}, {"0", false}, {"admin", false}, {"ADMIN ", false}}) {
            test::FrontDesk desk;
            desk.clock.set("2026/12/05 09:07:00");
            ClockScreen screen(desk, authority);
            QCOMPARE(screen.button(n::sheetsButton)->isEnabled(), admin);
            QCOMPARE(screen.button(n::maintenanceButton)->isEnabled(), admin);
            // The sheet selection opens for an administrator; coming back re-reads nothing, so the greeting stays.
            screen.click(n::clockInButton);
            screen.click(n::sheetsButton);
            QCOMPARE(screen.text(n::greeting), "おはよう2");
            // While the maintenance menu is open the clock-in is corrected away; the screen refreshes when it closes.
            desk.navigator.onShow = [&](QDialog& opened) {
                if (opened.objectName() == "Menu_Mast") {
                    desk.folder.writeClockRows({});
                }
            };
            screen.click(n::maintenanceButton);
            QCOMPARE(desk.navigator.opened.size(), admin ? 2 : 0);
            if (admin) {
                QCOMPARE(desk.navigator.opened[0].screen, "Form2");
                QCOMPARE(desk.navigator.opened[1].screen, "Menu_Mast");
            }
            QCOMPARE(screen.text(n::greeting), admin ? "" : "おはよう2");
            QCOMPARE(screen.usable(), admin ? "in douhan out" : "out");
        }
    }

    void clockIn_data() {
        QTest::addColumn<QString>("now");
        QTest::addColumn<bool>("douhan");
        QTest::addColumn<QString>("recorded");
        QTest::newRow("rounded up") << "2026/12/05 09:07:00" << false << "2026/12/05 09:15";
        QTest::newRow("with 同伴") << "2026/12/05 20:00:59" << true << "2026/12/05 20:00";
        QTest::newRow("rounded past midnight") << "2026/12/05 23:50:00" << false << "2026/12/06 00:00";
    }

    void clockIn() {
        QFETCH(QString, now);
        QFETCH(bool, douhan);
        QFETCH(QString, recorded);
        test::FrontDesk desk;
        desk.clock.set(now);
        ClockScreen screen(desk);
        if (douhan) {
            QTest::mouseClick(screen.douhan(), Qt::LeftButton);
        }
        screen.click(n::clockInButton);
        QCOMPARE(desk.clockRows(), QStringList{row(kDay, recorded, "1", douhan ? "1" : "0")});
        QCOMPARE(screen.text(n::clockInDate) + ' ' + screen.text(n::clockInTime), recorded);
        QCOMPARE(screen.text(n::greeting), "おはよう2");
        QCOMPARE(screen.douhan()->isChecked(), douhan);
        QCOMPARE(screen.usable(), "out");
    }

    void clockOut_data() {
        QTest::addColumn<QString>("dayChange");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("now");
        QTest::addColumn<QString>("written");  // empty when refused
        const QStringList in{row(kDay, "2026/12/05 09:15", "1", "0")};
        QTest::newRow("a second before the shown clock-in") << "05:00" << in << "2026/12/05 09:14:59" << QString();
        QTest::newRow("at the shown clock-in")
            << "05:00" << in << "2026/12/05 09:15:00" << row(kDay, "2026/12/05 09:15", "2");
        QTest::newRow("after midnight of a night shift")
            << "05:00" << QStringList{row(kDay, "2026/12/05 21:15", "1", "0")} << "2026/12/06 02:37:00"
            << row(kDay, "2026/12/06 02:30", "2");
        // A forgotten or unreadable clock-in must not keep anyone from leaving.
        QTest::newRow("evening clock-in, day changing at midnight")
            << "00:00" << QStringList{row("2026/12/05", "2026/12/05 21:15", "1", "0")} << "2026/12/06 01:10:00"
            << row("2026/12/06", "2026/12/06 01:00", "2");
        QTest::newRow("hand-edited clock-in") << "05:00" << QStringList{row(kDay, "朝", "1", "0")}
                                              << "2026/12/05 08:00:00" << row(kDay, "2026/12/05 08:00", "2");
    }

    void clockOut() {
        QFETCH(QString, dayChange);
        QFETCH(QStringList, rows);
        QFETCH(QString, now);
        QFETCH(QString, written);
        test::FrontDesk desk;
        desk.folder.writeSettings(dayChange);
        desk.folder.writeClockRows(rows);
        desk.clock.set(now);
        ClockScreen screen(desk);
        screen.click(n::clockOutButton);
        const bool refused = written.isEmpty();
        QCOMPARE(desk.clockRows(), refused ? rows : rows + QStringList{written});
        QCOMPARE(desk.boxes.errorTexts(),
                 refused ? QStringList{"まだ出勤時間になっていないため退出できません。"} : QStringList());
        QCOMPARE(screen.text(n::clockOutTime), written.section(u'"', 5, 5).right(5));  // the time of TIMEPRINT
        QCOMPARE(screen.text(n::greeting), refused ? "" : "おつかれ2");
        QCOMPARE(screen.button(n::clockOutButton)->isEnabled(), refused);
    }

    // Another copy of the program holds the clock table (an editor saving): the click writes nothing, says so, and
    // leaves the screen as it was; pressed again once the table is free, it records.
    void busyTableLeavesTheScreenAsItWas() {
        test::FrontDesk desk;
        desk.clock.set("2026/12/05 09:07:00");
        ClockScreen screen(desk);
        TableLock::setWaitMs(50);
        const int other = ::open(QFile::encodeName(TableLock::lockPathOf(desk.store, Table::Clock)).constData(),
                                 O_RDWR | O_CREAT, 0644);
        QVERIFY(other >= 0 && ::flock(other, LOCK_EX) == 0);
        for (QLatin1String button : {n::clockInButton, n::clockOutButton}) {
            screen.click(button);
        }
        QCOMPARE(desk.boxes.errorTexts().size(), 2);
        QVERIFY(desk.boxes.errorTexts()[1].contains("個人出退勤時間.csv」は別の画面またはプログラムが更新中です"));
        QCOMPARE(screen.usable(), "in douhan out");
        QVERIFY(desk.clockRows().isEmpty() && screen.text(n::clockInTime).isEmpty());
        ::close(other);
        TableLock::setWaitMs(5000);
        screen.click(n::clockInButton);
        QCOMPARE(desk.clockRows(), QStringList{row(kDay, "2026/12/05 09:15", "1", "0")});
    }

    void eachClickAppendsOneRowAtMost() {
        test::FrontDesk desk;
        desk.clock.set("2026/12/05 09:07:00");
        {
            ClockScreen screen(desk);
            screen.click(n::clockInButton);
            QTest::mouseDClick(screen.button(n::clockInButton), Qt::LeftButton);
            desk.clock.set("2026/12/05 18:00:00");
            screen.click(n::clockOutButton);
            QTest::mouseDClick(screen.button(n::clockOutButton), Qt::LeftButton);
        }
        const QStringList day{row(kDay, "2026/12/05 09:15", "1", "0"), row(kDay, "2026/12/05 18:00", "2")};
        QCOMPARE(desk.clockRows(), day);
        // Opened again the same day: neither can be pressed.
        ClockScreen again(desk);
        QCOMPARE(again.usable(), "");
        again.click(n::clockOutButton);
        again.click(n::clockInButton);
        QCOMPARE(desk.clockRows(), day);
    }
};

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
