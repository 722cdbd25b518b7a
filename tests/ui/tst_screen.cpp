#include <QAccessible>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalSpy>
#include <QSpontaneKeyEvent>
#include <QTest>

#include "screentestcontext.h"
#include "ui/controls.h"
#include "ui/screen.h"

using namespace tsumiki;

namespace {

class CountingScreen final : public Screen {
public:
    explicit CountingScreen(AppContext& context) : Screen(context, QLatin1String("Probe"), QStringLiteral("見出し")) {
        box = makeTextBox(this, QLatin1String("Text1"));
        button = makeButton(this, QLatin1String("cmdNext"), QStringLiteral("次へ"));
        connect(button, &QPushButton::clicked, this, [this] { ++clicks; });
    }
    void load() override { ++loads; }
    QLineEdit* box;
    QPushButton* button;
    int loads = 0;
    int clicks = 0;
};

// An event as the window system sends it (after minimising and restoring), not as the program does.
template <typename Event>
void sendSpontaneous(QWidget& widget) {
    Event event;
    QSpontaneKeyEvent::setSpontaneous(&event);
    QCoreApplication::instance()->notify(&widget, &event);  // sendEvent would clear the flag
}

QString accessibleName(QWidget* widget) {
    return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
}

}  // namespace

class TestScreen : public QObject {
    Q_OBJECT
private slots:
    void loadsOncePerOpening();
    void keys();
    void closeBoxRejects();
    void dataLabelsReadTheirText();
};

void TestScreen::loadsOncePerOpening() {
    test::ScreenTestContext t;
    CountingScreen screen(t.context);
    QCOMPARE(screen.objectName(), QStringLiteral("Probe"));
    QCOMPARE(screen.windowTitle(), QStringLiteral("見出し"));
    screen.show();
    sendSpontaneous<QHideEvent>(screen);
    sendSpontaneous<QShowEvent>(screen);
    QCOMPARE(screen.loads, 1);
    screen.hide();
    screen.show();
    QCOMPARE(screen.loads, 2);
}

void TestScreen::keys() {
    test::ScreenTestContext t;
    CountingScreen screen(t.context);
    screen.show();
    QVERIFY(QTest::qWaitForWindowActive(&screen));
    screen.box->setFocus();
    QTest::keyClick(screen.box, Qt::Key_Return);
    QCOMPARE(screen.clicks, 0);
    screen.button->setFocus();
    QTest::keyClick(screen.button, Qt::Key_Return);
    QTest::keyClick(screen.button, Qt::Key_Enter);
    QCOMPARE(screen.clicks, 2);
    QTest::keyClick(&screen, Qt::Key_Escape);
    QVERIFY(screen.isVisible());
}

void TestScreen::closeBoxRejects() {
    test::ScreenTestContext t;
    CountingScreen screen(t.context);
    QSignalSpy rejected(&screen, &QDialog::rejected);
    screen.show();
    QVERIFY(screen.close());
    QCOMPARE(rejected.size(), 1);
}

void TestScreen::dataLabelsReadTheirText() {
    QWidget parent;
    QLabel* nickname = makeDataLabel(&parent, QLatin1String("Label5"), QStringLiteral("ニックネーム"));
    QLabel* caption = makeLabel(&parent, QLatin1String("Label7"), QStringLiteral("ニックネーム　："), nickname);
    nickname->setText(QStringLiteral("<b>さくら</b>"));
    QCOMPARE(accessibleName(nickname), QStringLiteral("<b>さくら</b>"));
    QCOMPARE(nickname->textFormat(), Qt::PlainText);
    QCOMPARE(caption->buddy(), nickname);
}

QTEST_MAIN(TestScreen)
#include "tst_screen.moc"
