#include <QHideEvent>
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

struct Probe final : Screen {
    explicit Probe(AppContext& context) : Screen(context, QLatin1String("Probe"), "見出し") {
        connect(button, &QPushButton::clicked, this, [this] { ++clicks; });
    }
    void load() override { ++loads; }
    QLineEdit* box = makeTextBox(this, QLatin1String("Text1"));
    QPushButton* button = makeButton(this, QLatin1String("cmdNext"), "次へ");
    int loads = 0;
    int clicks = 0;
};

// An event as the window system sends it (after minimising and restoring); sendEvent would clear the flag.
template <typename Event>
void sendSpontaneous(QWidget& widget) {
    Event event;
    QSpontaneKeyEvent::setSpontaneous(&event);
    QCoreApplication::instance()->notify(&widget, &event);
}

}  // namespace

class TestScreen : public QObject {
    Q_OBJECT
private slots:
    void loadsOncePerOpening();
    void keysAndCloseBox();
};

void TestScreen::loadsOncePerOpening() {
    test::ScreenTestContext t;
    Probe screen(t.context);
    QCOMPARE(screen.objectName() + ' ' + screen.windowTitle(), "Probe 見出し");
    screen.show();
    sendSpontaneous<QHideEvent>(screen);
    sendSpontaneous<QShowEvent>(screen);
    QCOMPARE(screen.loads, 1);
    screen.hide();
    screen.show();
    QCOMPARE(screen.loads, 2);
}

void TestScreen::keysAndCloseBox() {
    test::ScreenTestContext t;
    Probe screen(t.context);
    QSignalSpy rejected(&screen, &QDialog::rejected);
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
    QVERIFY(screen.isVisible() && rejected.isEmpty());
    QVERIFY(screen.close());
    QCOMPARE(rejected.size(), 1);
}

QTEST_MAIN(TestScreen)
#include "tst_screen.moc"
