#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "frontdesk/form0.h"
#include "frontdeskfixture.h"
#include "ui/controlnames.h"

using namespace tsumiki;
namespace n = tsumiki::names::form0;

namespace {

const QString kRefusal = "ユーザーIDが登録されていません。";

// The login screen shown and active, so that the focus moves as it does for a person.
struct Login {
    explicit Login(test::FrontDesk& desk) : form(desk.context) {
        form.show();
        if (!QTest::qWaitForWindowActive(&form)) {
            qFatal("the login screen did not become active");
        }
    }
    QLineEdit* box() { return form.findChild<QLineEdit*>(n::userIdBox); }
    QString label(QLatin1String name) { return form.findChild<QLabel*>(name)->text(); }
    QPushButton* next() { return form.findChild<QPushButton*>(n::nextButton); }
    void type(const QString& id, Qt::Key key = Qt::Key_Return) {
        box()->setFocus();
        box()->clear();
        QTest::keyClicks(box(), id);
        QTest::keyClick(box(), key);
    }
    // The nickname, the refusal and whether 入力 is enabled.
    QString state() {
        return label(n::nickname) + '|' + label(n::refusal) + '|' + (next()->isEnabled() ? "入力" : "-");
    }
    Form0 form;
};

}  // namespace

class TestForm0 : public QObject {
    Q_OBJECT
private slots:
    void enterChecksTheId_data();
    void enterChecksTheId();
    void checksBeforeGoingOn();
    void handsTheUserOverAndClearsAfterLogOff();
};

void TestForm0::enterChecksTheId_data() {
    QTest::addColumn<QString>("id");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("state");
    QTest::newRow("known ID") << "0002" << int(Qt::Key_Return) << "さくら||入力";
    QTest::newRow("keypad Enter") << "0001" << int(Qt::Key_Enter) << "店長||入力";
    QTest::newRow("no such user") << "9999" << int(Qt::Key_Return) << "|" + kRefusal + "|-";
    QTest::newRow("user without nickname") << "0004" << int(Qt::Key_Return) << "|" + kRefusal + "|-";
    QTest::newRow("markup in a nickname") << "0005" << int(Qt::Key_Return) << "<b>ゆき</b>||入力";
}

void TestForm0::enterChecksTheId() {
    QFETCH(QString, id);
    QFETCH(int, key);
    QFETCH(QString, state);
    test::FrontDesk desk;
    Login login(desk);
    QCOMPARE(login.state(), "||-");
    QVERIFY(login.box()->hasFocus());
    login.type(id, Qt::Key(key));
    QCOMPARE(login.state(), state);
    auto* nickname = login.form.findChild<QLabel*>(n::nickname);
    QCOMPARE(nickname->textFormat(), Qt::PlainText);
    // A screen reader reads the nickname itself.
    QCOMPARE(QAccessible::queryAccessibleInterface(nickname)->text(QAccessible::Name), state.section('|', 0, 0));
    // Enter means "check" only: it never presses 入力, even once 入力 is enabled.
    QTest::keyClick(login.box(), Qt::Key(key));
    QVERIFY(desk.navigator.opened.isEmpty() && desk.boxes.shown.isEmpty());
}

void TestForm0::checksBeforeGoingOn() {
    test::FrontDesk desk;
    Login login(desk);
    // Not while typing; leaving the box checks.
    QTest::keyClicks(login.box(), "0002");
    QCOMPARE(login.state(), "||-");
    QTest::keyClick(login.box(), Qt::Key_Tab);
    QCOMPARE(login.state(), "さくら||入力");
    // Changed to an unknown ID: the click checks first, and goes nowhere.
    login.box()->setFocus();
    login.box()->clear();
    QTest::keyClicks(login.box(), "9999");
    QTest::mouseClick(login.next(), Qt::LeftButton);
    QVERIFY(desk.navigator.opened.isEmpty());
    QCOMPARE(login.state(), "|" + kRefusal + "|-");
    // An emptied box leaves the refusal on screen.
    login.type("");
    QCOMPARE(login.state(), "|" + kRefusal + "|-");
}

void TestForm0::handsTheUserOverAndClearsAfterLogOff() {
    // LoginUserId, LoginUserName and LoginAuthority: an empty authority becomes 0, any other goes as stored.
    for (const QStringList& handedOver : {QStringList{"0001", "店長", "ADMIN"}, QStringList{"0002", "さくら", "0"},
                                          QStringList{"0003", "ゆり", "admin"}}) {
        test::FrontDesk desk;
        Login login(desk);
        QString shownWhileOpen;
        desk.navigator.onShow = [&](QDialog&) { shownWhileOpen = login.state(); };
        login.type(handedOver[0]);
        QTest::mouseClick(login.next(), Qt::LeftButton);
        QCOMPARE(desk.navigator.opened.size(), 1);
        const auto& opened = desk.navigator.opened.first();
        QCOMPARE(opened.screen, "Form1");
        QCOMPARE((QStringList{opened.properties.value("LoginUserId").toString(),
                              opened.properties.value("LoginUserName").toString(),
                              opened.properties.value("LoginAuthority").toString()}),
                 handedOver);
        QCOMPARE(shownWhileOpen, handedOver[1] + "||入力");
        // The clock screen has closed: ready for the next person.
        QCOMPARE(login.state(), "||-");
        QVERIFY(login.box()->text().isEmpty() && login.box()->hasFocus());
        QSignalSpy finished(&login.form, &QDialog::finished);
        QTest::mouseClick(login.form.findChild<QPushButton*>(n::endButton), Qt::LeftButton);
        QCOMPARE(finished.size(), 1);  // which ends the program
    }
}

QTEST_MAIN(TestForm0)
#include "tst_form0.moc"
