#include "screenshottour.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTextStream>
#include <QTimer>

#include "ui/controlnames.h"

namespace tsumiki {
namespace {

// Time for the window system to map and paint a screen before it is photographed.
constexpr int kSettleMs = 500;

void press(QWidget& screen, QLatin1String button) {
    if (auto* b = screen.findChild<QPushButton*>(button)) {
        b->click();
    } else {
        QTextStream(stderr) << QStringLiteral("screenshot tour: no button %1\n").arg(button);
    }
}

// Types the ID into the login screen's box and presses Enter.
void type(QWidget& login, const QString& id) {
    if (auto* box = login.findChild<QLineEdit*>(names::form0::userIdBox)) {
        box->setFocus();
        box->setText(id);
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(box, &enter);
    }
}

}  // namespace

void ScreenshotTour::save(QWidget& screen, const QString& name) const {
    const QString path = QDir(folder_).filePath(name + QStringLiteral(".png"));
    const bool saved = screen.grab().save(path);
    QTextStream(saved ? stdout : stderr) << (saved ? QStringLiteral("saved ") : QStringLiteral("cannot save ")) << path
                                         << Qt::endl;
}

void ScreenshotTour::start(QDialog& login) {
    QTimer::singleShot(kSettleMs, &login, [this, &login] {
        save(login, QStringLiteral("1-login"));
        type(login, QStringLiteral("9999"));
        save(login, QStringLiteral("2-login-refused"));
        type(login, userId_);
        save(login, QStringLiteral("3-login-accepted"));
        press(login, names::form0::nextButton);  // returns when the clock screen has closed
        save(login, QStringLiteral("6-login-after-logoff"));
        login.close();
    });
}

void ScreenshotTour::showModal(QDialog& screen) {
    const QString name = screen.objectName();
    QTimer::singleShot(kSettleMs, &screen, [this, &screen, name] {
        if (name == names::form1::screen) {
            save(screen, QStringLiteral("4-clock"));
            press(screen, names::form1::clockInButton);
            save(screen, QStringLiteral("5-clock-in"));
            press(screen, names::form1::sheetsButton);  // returns when the selection screen has closed
            press(screen, names::form1::maintenanceButton);
        } else if (name == names::menu_mast::screen) {
            save(screen, QStringLiteral("10-maintenance-menu"));
            for (QLatin1String editor : {names::menu_mast::usersButton, names::menu_mast::controlButton,
                                         names::menu_mast::messagesButton, names::menu_mast::clockRecordsButton}) {
                press(screen, editor);
            }
        } else if (name.startsWith(QLatin1String("Mast_"))) {
            save(screen, QStringLiteral("11-") + name);
        } else if (name == names::form2::screen) {
            save(screen, QStringLiteral("7-selection"));
            // The sample data's month of clock rows, for the first staff member.
            if (auto* people = screen.findChild<QComboBox*>(names::form2::people)) {
                people->setCurrentIndex(people->count() > 1 ? 1 : 0);
            }
            if (auto* months = screen.findChild<QComboBox*>(names::form2::months)) {
                months->setCurrentIndex(10);
            }
            if (auto* year = screen.findChild<QLineEdit*>(names::form2::yearBox)) {
                year->setText(QStringLiteral("2026"));
            }
            press(screen, names::form2::individualButton);
            press(screen, names::form2::staffButton);
        } else if (name == names::form4::screen) {
            save(screen, QStringLiteral("8-individual-sheet"));
        } else if (name == names::form5::screen) {
            save(screen, QStringLiteral("9-all-staff-sheet"));
        }
        // Every screen of the walk goes back by its button of this name.
        press(screen, names::sheet::backButton);
    });
    screens_.showModal(screen);
}

}  // namespace tsumiki
