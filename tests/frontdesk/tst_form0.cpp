#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "frontdesk/form0.h"
#include "frontdeskfixture.h"

using namespace tsumiki;
using tsumiki::test::FrontDesk;

namespace {

const QString kRefusal = QStringLiteral("ユーザーIDが登録されていません。");

// The login screen shown and active, so that the focus moves as it does for a person.
struct Login {
    explicit Login(FrontDesk& desk) : form(desk.ctx) {
        form.show();
        if (!QTest::qWaitForWindowActive(&form)) {
            qFatal("the login screen did not become active");
        }
    }
    QLineEdit* text1() { return form.findChild<QLineEdit*>(QStringLiteral("Text1")); }
    QString label(const char* name) { return form.findChild<QLabel*>(QLatin1String(name))->text(); }
    QPushButton* cmdNext() { return form.findChild<QPushButton*>(QStringLiteral("cmdNext")); }
    void type(const QString& id, Qt::Key key = Qt::Key_Return) {
        text1()->setFocus();
        text1()->clear();
        QTest::keyClicks(text1(), id);
        QTest::keyClick(text1(), key);
    }
    Form0 form;
};

}  // namespace

class TestForm0 : public QObject {
    Q_OBJECT
private slots:
    void startsWaitingForAnId();
    void enterChecksTheId_data();
    void enterChecksTheId();
    void refusalStaysWhenTheBoxIsEmptied();
    void leavingTheBoxChecksTheId();
    void clickAfterChangingToAnUnknownIdDoesNotGoOn();
    void handsTheUserOverAndClearsAfterLogOff_data();
    void handsTheUserOverAndClearsAfterLogOff();
    void onlyTheEndButtonCloses();
};

void TestForm0::startsWaitingForAnId() {
    FrontDesk desk;
    Login login(desk);
    QCOMPARE(login.form.windowTitle(), QStringLiteral("ログイン画面"));
    QVERIFY(login.text1()->text().isEmpty() && login.text1()->hasFocus());
    QVERIFY(login.label("Label2").isEmpty() && login.label("Label3").isEmpty());
    QVERIFY(!login.cmdNext()->isEnabled());
}

void TestForm0::enterChecksTheId_data() {
    QTest::addColumn<QString>("id");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("nickname");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("known ID") << "0002" << int(Qt::Key_Return) << "さくら" << QString();
    QTest::newRow("keypad Enter") << "0001" << int(Qt::Key_Enter) << "店長" << QString();
    QTest::newRow("no such user") << "9999" << int(Qt::Key_Return) << QString() << kRefusal;
    QTest::newRow("user without nickname") << "0004" << int(Qt::Key_Return) << QString() << kRefusal;
    QTest::newRow("ID with a blank") << "0002 " << int(Qt::Key_Return) << QString() << kRefusal;
    QTest::newRow("markup in a nickname") << "0005" << int(Qt::Key_Return) << "<b>ゆき</b>" << QString();
}

void TestForm0::enterChecksTheId() {
    QFETCH(QString, id);
    QFETCH(int, key);
    QFETCH(QString, nickname);
    QFETCH(QString, refusal);
    FrontDesk desk;
    Login login(desk);
    login.type(id, Qt::Key(key));
    QCOMPARE(login.label("Label2"), nickname);
    auto* nicknameLabel = login.form.findChild<QLabel*>(QStringLiteral("Label2"));
    QCOMPARE(nicknameLabel->textFormat(), Qt::PlainText);
    // A screen reader reads the nickname itself.
    QCOMPARE(QAccessible::queryAccessibleInterface(nicknameLabel)->text(QAccessible::Name), nickname);
    QCOMPARE(login.label("Label3"), refusal);
    QCOMPARE(login.cmdNext()->isEnabled(), refusal.isEmpty());
    // Enter means "check" only: it never presses 入力, even once 入力 is enabled.
    QTest::keyClick(login.text1(), Qt::Key(key));
    QVERIFY(desk.navigator.opened.isEmpty());
    QVERIFY(desk.boxes.shown.isEmpty());
}

void TestForm0::refusalStaysWhenTheBoxIsEmptied() {
    FrontDesk desk;
    Login login(desk);
    login.type(QStringLiteral("0002"));
    login.type(QStringLiteral("9999"));
    login.type(QString());
    QCOMPARE(login.label("Label3"), kRefusal);
    QVERIFY(login.label("Label2").isEmpty());
    QVERIFY(!login.cmdNext()->isEnabled());
}

void TestForm0::leavingTheBoxChecksTheId() {
    FrontDesk desk;
    Login login(desk);
    QTest::keyClicks(login.text1(), QStringLiteral("0002"));
    QVERIFY(login.label("Label2").isEmpty());  // not while typing
    QTest::keyClick(login.text1(), Qt::Key_Tab);
    QCOMPARE(login.label("Label2"), QStringLiteral("さくら"));
    QVERIFY(login.cmdNext()->isEnabled());
}

void TestForm0::clickAfterChangingToAnUnknownIdDoesNotGoOn() {
    FrontDesk desk;
    Login login(desk);
    login.type(QStringLiteral("0002"));
    login.text1()->clear();
    QTest::keyClicks(login.text1(), QStringLiteral("9999"));
    QTest::mouseClick(login.cmdNext(), Qt::LeftButton);
    QVERIFY(desk.navigator.opened.isEmpty());
    QCOMPARE(login.label("Label3"), kRefusal);
    QVERIFY(!login.cmdNext()->isEnabled());
}

void TestForm0::handsTheUserOverAndClearsAfterLogOff_data() {
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("authority");
    QTest::newRow("administrator") << "0001"
                                   << "店長"
                                   << "ADMIN";
    QTest::newRow("empty authority becomes 0") << "0002"
                                               << "さくら"
                                               << "0";
    QTest::newRow("authority as stored") << "0003"
                                         << "ゆり"
                                         << "admin";
}

void TestForm0::handsTheUserOverAndClearsAfterLogOff() {
    QFETCH(QString, id);
    QFETCH(QString, name);
    QFETCH(QString, authority);
    FrontDesk desk;
    Login login(desk);
    QString shownWhileOpen;
    desk.navigator.onShow = [&](QDialog&) { shownWhileOpen = login.label("Label2"); };
    login.type(id);
    QTest::mouseClick(login.cmdNext(), Qt::LeftButton);
    QCOMPARE(desk.navigator.opened.size(), 1);
    const auto& opened = desk.navigator.opened.first();
    QCOMPARE(opened.screen, QStringLiteral("Form1"));
    QCOMPARE(opened.properties.value(QStringLiteral("LoginUserId")).toString(), id);
    QCOMPARE(opened.properties.value(QStringLiteral("LoginUserName")).toString(), name);
    QCOMPARE(opened.properties.value(QStringLiteral("LoginAuthority")).toString(), authority);
    QCOMPARE(shownWhileOpen, name);
    // The clock screen has closed: ready for the next person.
    QVERIFY(login.text1()->text().isEmpty() && login.text1()->hasFocus());
    QVERIFY(login.label("Label2").isEmpty() && login.label("Label3").isEmpty());
    QVERIFY(!login.cmdNext()->isEnabled());
}

void TestForm0::onlyTheEndButtonCloses() {
    FrontDesk desk;
    Login login(desk);
    QSignalSpy finished(&login.form, &QDialog::finished);
    QTest::keyClick(&login.form, Qt::Key_Escape);
    QVERIFY(login.form.isVisible());
    QTest::mouseClick(login.form.findChild<QPushButton*>(QStringLiteral("cmdEnd")), Qt::LeftButton);
    QVERIFY(!login.form.isVisible());
    QCOMPARE(finished.size(), 1);
}

QTEST_MAIN(TestForm0)
#include "tst_form0.moc"
