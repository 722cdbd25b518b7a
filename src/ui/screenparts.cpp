#include "ui/screenparts.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPalette>
#include <QPushButton>

namespace tsumiki::screenparts {

void scaleFont(QWidget& widget, qreal factor, bool bold) {
    QFont font = QApplication::font();
    if (font.pointSizeF() > 0) {
        font.setPointSizeF(font.pointSizeF() * factor);
    } else {
        font.setPixelSize(qRound(font.pixelSize() * factor));
    }
    font.setBold(bold);
    widget.setFont(font);
}

void markAsRefusal(QLabel& label) {
    QPalette palette = label.palette();
    palette.setColor(QPalette::WindowText, QColor(0xB0, 0x10, 0x20));
    label.setPalette(palette);
}

void showsDataAsPlainText(QLabel& label) {
    label.setTextFormat(Qt::PlainText);
}

void neverDefault(QPushButton& button) {
    button.setAutoDefault(false);
    button.setDefault(false);
}

bool isEnterKey(const QKeyEvent& event) {
    return event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter;
}

bool handleKey(QWidget& screen, QKeyEvent& event) {
    if (isEnterKey(event)) {
        if (auto* button = qobject_cast<QPushButton*>(screen.focusWidget()); button && button->isEnabled()) {
            button->click();
        }
        return true;
    }
    return event.key() == Qt::Key_Escape;
}

}  // namespace tsumiki::screenparts
