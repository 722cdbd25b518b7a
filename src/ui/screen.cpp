#include "ui/screen.h"

#include <QHideEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QShowEvent>

namespace tsumiki {

Screen::Screen(AppContext& context, QLatin1String name, const QString& caption, QWidget* parent)
    : QDialog(parent), context_(context) {
    setObjectName(name);
    setWindowTitle(caption);
}

bool Screen::isEnterKey(const QKeyEvent& event) {
    return event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter;
}

void Screen::showEvent(QShowEvent* event) {
    if (!event->spontaneous() && !loaded_) {
        loaded_ = true;
        // Before the dialog places itself, so that it is centred with the size its content gives it.
        load();
    }
    QDialog::showEvent(event);
}

void Screen::hideEvent(QHideEvent* event) {
    // A screen hidden by the program has closed; shown again, it is a new opening.
    if (!event->spontaneous()) {
        loaded_ = false;
    }
    QDialog::hideEvent(event);
}

void Screen::keyPressEvent(QKeyEvent* event) {
    if (isEnterKey(*event)) {
        if (auto* button = qobject_cast<QPushButton*>(focusWidget()); button && button->isEnabled()) {
            button->click();
        }
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace tsumiki
