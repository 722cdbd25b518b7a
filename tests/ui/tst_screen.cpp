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
    explicit Probe(AppContext& context) : Screen(context, QLatin1String("Probe"), "見出し") {}
    void load() override { ++loads; }
    QLineEdit* box = makeTextBox(this, QLatin1String("Text1"));
    QPushButton* button = makeButton(this, QLatin1String("cmdNext"), "次へ");
    int loads = 0;
};

}  // namespace

class TestScreen : public QObject {
    Q_OBJECT
private slots:
    // A screen loads once per opening, not again when it is restored after minimising; Enter clicks the focused
    // button only, Escape closes nothing, the close box rejects.
    void opensLoadsAndAnswersKeys() {
        test::ScreenTestContext t;
        Probe screen(t.context);
        QSignalSpy rejected(&screen, &QDialog::rejected);
        QSignalSpy clicks(screen.button, &QPushButton::clicked);
        // The frame gives the screen its name, which tests and the screenshot walk find it by, and its caption.
        QCOMPARE(screen.objectName() + ' ' + screen.windowTitle(), "Probe 見出し");
        screen.show();
        QVERIFY(QTest::qWaitForWindowActive(&screen));
        QHideEvent hidden;
        QShowEvent shown;
        for (QEvent* event : {static_cast<QEvent*>(&hidden), static_cast<QEvent*>(&shown)}) {
            QSpontaneKeyEvent::setSpontaneous(event);  // as after minimising and restoring; sendEvent clears it
            QCoreApplication::instance()->notify(&screen, event);
        }
        QCOMPARE(screen.loads, 1);
        screen.box->setFocus();
        QTest::keyClick(screen.box, Qt::Key_Return);
        QVERIFY(clicks.isEmpty());
        screen.button->setFocus();
        QTest::keyClick(screen.button, Qt::Key_Return);
        QTest::keyClick(screen.button, Qt::Key_Enter);
        QCOMPARE(clicks.size(), 2);
        QTest::keyClick(&screen, Qt::Key_Escape);
        QVERIFY(screen.isVisible() && rejected.isEmpty());
        QVERIFY(screen.close());
        QCOMPARE(rejected.size(), 1);
        screen.show();
        QCOMPARE(screen.loads, 2);
    }
};

QTEST_MAIN(TestScreen)
#include "tst_screen.moc"
