#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "frontdesk/form1.h"
#include "frontdeskfixture.h"

using namespace tsumiki;
using tsumiki::test::FrontDesk;

namespace {

const QString kDay = QStringLiteral("2026/12/05 5:00:00");  // the business date 2026/12/05, day change 05:00

QString row(const QString& inputTime, const QString& timePrint, const QString& kind, const QString& douhan = {}) {
    return QStringLiteral("\"0002\",\"%1\",\"%2\",\"%3\",\"%4\"").arg(inputTime, timePrint, kind, douhan);
}

QStringList dataRows(const FrontDesk& desk) {
    return desk.clockText().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts).mid(1);
}

// The clock screen opened for さくら (0002), as the login screen opens it.
struct ClockScreen {
    explicit ClockScreen(FrontDesk& desk, const QString& authority = QStringLiteral("0")) : form(desk.ctx) {
        form.setLoginUserId(QStringLiteral("0002"));
        form.setLoginUserName(QStringLiteral("さくら"));
        form.setLoginAuthority(authority);
        form.show();
        if (!QTest::qWaitForWindowExposed(&form)) {
            qFatal("the clock screen was not shown");
        }
    }
    QString text(const char* label) { return form.findChild<QLabel*>(QLatin1String(label))->text(); }
    QPushButton* button(const char* name) { return form.findChild<QPushButton*>(QLatin1String(name)); }
    QCheckBox* check1() { return form.findChild<QCheckBox*>(QStringLiteral("Check1")); }
    void click(const char* name) { QTest::mouseClick(button(name), Qt::LeftButton); }
    Form1 form;
};

}  // namespace

class TestForm1 : public QObject {
    Q_OBJECT
private slots:
    void opensWithTheDaysTimes_data();
    void opensWithTheDaysTimes();
    void adminButtonsByAuthority_data();
    void adminButtonsByAuthority();
    void clockIn_data();
    void clockIn();
    void clockOut_data();
    void clockOut();
    void doubleClicksAppendOneRowEach();
    void secondClockOutOfTheDayIsPrevented();
    void logOff();
};

void TestForm1::opensWithTheDaysTimes_data() {
    QTest::addColumn<QString>("now");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QStringList>("shown");  // Label4, Label1, Label8, Label3
    QTest::addColumn<bool>("douhan");
    const QString in = row(kDay, "2026/12/05 09:15", "1", "1");
    const QString out = row(kDay, "2026/12/05 18:00", "2");
    const QString night = row(kDay, "2026/12/05 21:15", "1", "0");
    const QString other = QString(in).replace("0002", "0003");
    QTest::newRow("nothing recorded") << "2026/12/05 09:07:00" << QStringList{}
                                      << QStringList{"2026年12月05日", "", "", ""} << false;
    QTest::newRow("clocked in with 同伴")
        << "2026/12/05 12:00:00" << QStringList{in} << QStringList{"2026年12月05日", "09:15", "2026/12/05", ""} << true;
    QTest::newRow("clocked in and out") << "2026/12/05 19:00:00" << QStringList{in, out}
                                        << QStringList{"2026年12月05日", "09:15", "2026/12/05", "18:00"} << true;
    QTest::newRow("after midnight of a night shift")
        << "2026/12/06 02:30:00" << QStringList{night} << QStringList{"2026年12月06日", "21:15", "2026/12/05", ""}
        << false;
    QTest::newRow("yesterday's rows") << "2026/12/06 09:00:00" << QStringList{in, out}
                                      << QStringList{"2026年12月06日", "", "", ""} << false;
    QTest::newRow("another person's rows")
        << "2026/12/05 12:00:00" << QStringList{other} << QStringList{"2026年12月05日", "", "", ""} << false;
    QTest::newRow("a hand-edited time") << "2026/12/05 12:00:00" << QStringList{row(kDay, "朝", "1", "0")}
                                        << QStringList{"2026年12月05日", "朝", "", ""} << false;
}

void TestForm1::opensWithTheDaysTimes() {
    QFETCH(QString, now);
    QFETCH(QStringList, rows);
    QFETCH(QStringList, shown);
    QFETCH(bool, douhan);
    FrontDesk desk;
    desk.clock.set(now);
    desk.writeClockRows(rows);
    ClockScreen screen(desk);
    QCOMPARE(screen.form.windowTitle(), QStringLiteral("出勤・退出画面"));
    QCOMPARE((QStringList{screen.text("Label4"), screen.text("Label1"), screen.text("Label8"), screen.text("Label3")}),
             shown);
    QCOMPARE(screen.text("Label5"), QStringLiteral("さくら"));
    QVERIFY(screen.text("Label2").isEmpty());
    QCOMPARE(screen.check1()->isChecked(), douhan);
    QCOMPARE(screen.button("cmdin")->isEnabled(), shown[1].isEmpty());
    QCOMPARE(screen.check1()->isEnabled(), shown[1].isEmpty());
    QCOMPARE(screen.button("cmdout")->isEnabled(), shown[3].isEmpty());
}

void TestForm1::adminButtonsByAuthority_data() {
    QTest::addColumn<QString>("authority");
    QTest::addColumn<bool>("admin");
    QTest::newRow("ADMIN") << "ADMIN" << true;
    QTest::newRow("ordinary user") << "0" << false;
    QTest::newRow("lower case") << "admin" << false;
    QTest::newRow("trailing blank") << "ADMIN " << false;
}

void TestForm1::adminButtonsByAuthority() {
    QFETCH(QString, authority);
    QFETCH(bool, admin);
    FrontDesk desk;
    desk.clock.set(QStringLiteral("2026/12/05 09:07:00"));
    ClockScreen screen(desk, authority);
    QCOMPARE(screen.button("cmdkinmu")->isEnabled(), admin);
    QCOMPARE(screen.button("cmdMast")->isEnabled(), admin);
    // The sheet selection and the maintenance menu open for an administrator; coming back from the sheets
    // re-reads nothing, so the greeting stays.
    screen.click("cmdin");
    screen.click("cmdkinmu");
    // While the menu is open a clock-out is corrected away; the screen shows it once the menu has closed.
    desk.navigator.onShow = [&](QDialog& opened) {
        if (opened.objectName() == QStringLiteral("Menu_Mast")) {
            desk.writeClockRows({});
        }
    };
    screen.click("cmdMast");
    QCOMPARE(desk.navigator.opened.size(), admin ? 2 : 0);
    if (admin) {
        QCOMPARE(desk.navigator.opened[0].screen, QStringLiteral("Form2"));
        QCOMPARE(desk.navigator.opened[1].screen, QStringLiteral("Menu_Mast"));
    }
    // The refresh after the menu clears the greeting along with the clock-in the menu's edit removed.
    QCOMPARE(screen.text("Label2"), admin ? QString() : QStringLiteral("おはよう2"));
    QCOMPARE(screen.button("cmdin")->isEnabled(), admin);
    QVERIFY(screen.button("cmdout")->isEnabled());
}

void TestForm1::clockIn_data() {
    QTest::addColumn<QString>("now");
    QTest::addColumn<bool>("douhan");
    QTest::addColumn<QString>("recorded");
    QTest::newRow("rounded up") << "2026/12/05 09:07:00" << false << "2026/12/05 09:15";
    QTest::newRow("with 同伴") << "2026/12/05 20:00:59" << true << "2026/12/05 20:00";
    QTest::newRow("rounded past midnight") << "2026/12/05 23:50:00" << false << "2026/12/06 00:00";
}

void TestForm1::clockIn() {
    QFETCH(QString, now);
    QFETCH(bool, douhan);
    QFETCH(QString, recorded);
    FrontDesk desk;
    desk.clock.set(now);
    ClockScreen screen(desk);
    if (douhan) {
        QTest::mouseClick(screen.check1(), Qt::LeftButton);
    }
    screen.click("cmdin");
    QCOMPARE(dataRows(desk), QStringList{row(kDay, recorded, "1", douhan ? "1" : "0")});
    QCOMPARE(screen.text("Label8") + ' ' + screen.text("Label1"), recorded);
    QCOMPARE(screen.text("Label2"), QStringLiteral("おはよう2"));
    QCOMPARE(screen.check1()->isChecked(), douhan);
    QVERIFY(!screen.button("cmdin")->isEnabled() && !screen.check1()->isEnabled());
    QVERIFY(screen.button("cmdout")->isEnabled());
}

void TestForm1::clockOut_data() {
    QTest::addColumn<QString>("dayChange");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("now");
    QTest::addColumn<QString>("written");  // empty when refused
    const QStringList in{row(kDay, "2026/12/05 09:15", "1", "0")};
    QTest::newRow("a second before the shown clock-in") << "05:00" << in << "2026/12/05 09:14:59" << QString();
    QTest::newRow("at the shown clock-in")
        << "05:00" << in << "2026/12/05 09:15:00" << row(kDay, "2026/12/05 09:15", "2");
    QTest::newRow("after midnight of a night shift") << "05:00" << QStringList{row(kDay, "2026/12/05 21:15", "1", "0")}
                                                     << "2026/12/06 02:37:00" << row(kDay, "2026/12/06 02:30", "2");
    // A forgotten or unreadable clock-in must not keep anyone from leaving.
    QTest::newRow("no clock-in") << "05:00" << QStringList{} << "2026/12/05 18:07:00"
                                 << row(kDay, "2026/12/05 18:00", "2");
    QTest::newRow("evening clock-in, day changing at midnight")
        << "00:00" << QStringList{row("2026/12/05", "2026/12/05 21:15", "1", "0")} << "2026/12/06 01:10:00"
        << row("2026/12/06", "2026/12/06 01:00", "2");
    QTest::newRow("hand-edited clock-in") << "05:00" << QStringList{row(kDay, "朝", "1", "0")} << "2026/12/05 08:00:00"
                                          << row(kDay, "2026/12/05 08:00", "2");
}

void TestForm1::clockOut() {
    QFETCH(QString, dayChange);
    QFETCH(QStringList, rows);
    QFETCH(QString, now);
    QFETCH(QString, written);
    FrontDesk desk;
    desk.writeDayChange(dayChange);
    desk.writeClockRows(rows);
    desk.clock.set(now);
    ClockScreen screen(desk);
    screen.click("cmdout");
    if (written.isEmpty()) {
        QCOMPARE(desk.boxes.shown.size(), 1);
        QCOMPARE(desk.boxes.shown[0].title, QStringLiteral("エラー"));
        QCOMPARE(desk.boxes.shown[0].text, QStringLiteral("まだ出勤時間になっていないため退出できません。"));
        QCOMPARE(desk.boxes.shown[0].icon, MessageIcon::Exclamation);
        QCOMPARE(dataRows(desk), rows);
        QVERIFY(screen.text("Label3").isEmpty() && screen.text("Label2").isEmpty());
        QVERIFY(screen.button("cmdout")->isEnabled());
    } else {
        QVERIFY(desk.boxes.shown.isEmpty());
        QCOMPARE(dataRows(desk), rows + QStringList{written});
        QCOMPARE(screen.text("Label3"), written.section(u'"', 5, 5).right(5));  // the time of TIMEPRINT
        QCOMPARE(screen.text("Label2"), QStringLiteral("おつかれ2"));
        QVERIFY(!screen.button("cmdout")->isEnabled());
    }
}

void TestForm1::doubleClicksAppendOneRowEach() {
    FrontDesk desk;
    desk.clock.set(QStringLiteral("2026/12/05 09:07:00"));
    ClockScreen screen(desk);
    screen.click("cmdin");
    QTest::mouseDClick(screen.button("cmdin"), Qt::LeftButton);
    desk.clock.set(QStringLiteral("2026/12/05 18:00:00"));
    screen.click("cmdout");
    QTest::mouseDClick(screen.button("cmdout"), Qt::LeftButton);
    QCOMPARE(dataRows(desk),
             (QStringList{row(kDay, "2026/12/05 09:15", "1", "0"), row(kDay, "2026/12/05 18:00", "2")}));
}

void TestForm1::secondClockOutOfTheDayIsPrevented() {
    FrontDesk desk;
    desk.writeClockRows({row(kDay, "2026/12/05 09:15", "1", "0"), row(kDay, "2026/12/05 18:00", "2")});
    desk.clock.set(QStringLiteral("2026/12/05 19:00:00"));
    ClockScreen again(desk);
    QVERIFY(!again.button("cmdout")->isEnabled());
    again.click("cmdout");
    again.click("cmdin");
    QCOMPARE(dataRows(desk).size(), 2);
}

void TestForm1::logOff() {
    FrontDesk desk;
    desk.clock.set(QStringLiteral("2026/12/05 09:07:00"));
    ClockScreen screen(desk);
    QTest::keyClick(&screen.form, Qt::Key_Escape);
    QVERIFY(screen.form.isVisible());
    screen.click("cmdEnd");
    QVERIFY(!screen.form.isVisible());
    QVERIFY(dataRows(desk).isEmpty());
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
