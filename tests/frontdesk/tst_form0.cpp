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

const QString kRefused = "|ユーザーIDが登録されていません。|-";

// The login screen shown and active, so that the focus moves as it does for a person.
struct Login {
    explicit Login(test::FrontDesk& desk) : form(desk.context) {
        form.show();
        if (!QTest::qWaitForWindowActive(&form)) {
            qFatal("the login screen did not become active");
        }
    }
    QLineEdit* box() { return form.findChild<QLineEdit*>(n::userIdBox); }
    QLabel* label(QLatin1String name) { return form.findChild<QLabel*>(name); }
    void click(QLatin1String button) { QTest::mouseClick(form.findChild<QPushButton*>(button), Qt::LeftButton); }
    void type(const QString& id) {
        box()->setFocus();
        box()->clear();
        QTest::keyClicks(box(), id);
        QTest::keyClick(box(), Qt::Key_Return);
    }
    // The nickname, the refusal and whether 入力 is enabled.
    QString state() {
        return label(n::nickname)->text() + '|' + label(n::refusal)->text() + '|' +
               (form.findChild<QPushButton*>(n::nextButton)->isEnabled() ? "入力" : "-");
    }
    Form0 form;
};

}  // namespace

class TestForm0 : public QObject {
    Q_OBJECT
private slots:
    void idIsCheckedOnEnterOrLeavingTheBox_data() {
        QTest::addColumn<QString>("id");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("state");
        QTest::newRow("known ID") << "0002" << int(Qt::Key_Return) << "さくら||入力";
        QTest::newRow("leaving the box") << "0002" << int(Qt::Key_Tab) << "さくら||入力";
        QTest::newRow("no such user") << "9999" << int(Qt::Key_Return) << kRefused;
        QTest::newRow("user without nickname") << "0004" << int(Qt::Key_Return) << kRefused;
    }

    void idIsCheckedOnEnterOrLeavingTheBox() {
        QFETCH(QString, id);
        QFETCH(int, key);
        QFETCH(QString, state);
        test::FrontDesk desk;
        Login login(desk);
        QVERIFY(login.box()->hasFocus());
        QTest::keyClicks(login.box(), id);
        QCOMPARE(login.state(), "||-");  // not while typing
        QTest::keyClick(login.box(), Qt::Key(key));
        QCOMPARE(login.state(), state);
        // A nickname that looks like markup is shown as typed; a screen reader reads the nickname itself.
        QCOMPARE(login.label(n::nickname)->textFormat(), Qt::PlainText);
        QCOMPARE(QAccessible::queryAccessibleInterface(login.label(n::nickname))->text(QAccessible::Name),
                 state.section('|', 0, 0));
        // Enter means "check" only: it never presses 入力, even once 入力 is enabled.
        QTest::keyClick(login.box(), Qt::Key(key));
        QVERIFY(desk.navigator.opened.isEmpty() && desk.boxes.shown.isEmpty());
    }

    void handsTheUserOverAndClearsAfterLogOff() {
        test::FrontDesk desk;
        Login login(desk);
        // Changed to an unknown ID after a known one: the click checks first and goes nowhere.
        login.type("0002");
        login.box()->clear();
        QTest::keyClicks(login.box(), "9999");
        login.click(n::nextButton);
        QCOMPARE(login.state(), kRefused);
        login.type("");  // an emptied box leaves the refusal on screen
        QCOMPARE(login.state(), kRefused);
        QString shownWhileOpen;
        desk.navigator.onShow = [&](QDialog&) { shownWhileOpen = login.state(); };
        // LoginUserId, LoginUserName and LoginAuthority as the lookups give them: an empty authority becomes 0.
        for (const QStringList& user : {QStringList{"0001", "店長", "ADMIN"}, QStringList{"0002", "さくら", "0"}}) {
            login.type(user[0]);
            login.click(n::nextButton);
            QCOMPARE(desk.navigator.opened.last().screen, "Form1");
            QCOMPARE(desk.navigator.opened.last().properties,
                     (QVariantMap{{"LoginUserId", user[0]}, {"LoginUserName", user[1]}, {"LoginAuthority", user[2]}}));
            QCOMPARE(shownWhileOpen, user[1] + "||入力");
            // The clock screen has closed: ready for the next person.
            QCOMPARE(login.state(), "||-");
            QVERIFY(login.box()->text().isEmpty() && login.box()->hasFocus());
        }
        QCOMPARE(desk.navigator.opened.size(), 2);
        QSignalSpy finished(&login.form, &QDialog::finished);
        login.click(n::endButton);
        QCOMPARE(finished.size(), 1);  // which ends the program
    }
};

QTEST_MAIN(TestForm0)
#include "tst_form0.moc"
