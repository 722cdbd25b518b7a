#include "ui/controls.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>

#include "ui/digitfilter.h"

namespace tsumiki {

QLabel* makeLabel(QWidget* parent, QLatin1String name, const QString& caption, QWidget* buddy) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    if (buddy) {
        label->setBuddy(buddy);
    }
    return label;
}

QLabel* makeDataLabel(QWidget* parent, QLatin1String name, const QString& description, const QString& text) {
    QLabel* label = makeLabel(parent, name, text);
    label->setAccessibleDescription(description);
    return label;
}

QPushButton* makeButton(QWidget* parent, QLatin1String name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    button->setDefault(false);
    button->setAccessibleName(caption);
    return button;
}

QLineEdit* makeTextBox(QWidget* parent, QLatin1String name, int maxLength, const QString& accessibleName) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setMaxLength(maxLength);
    if (!accessibleName.isEmpty()) {
        box->setAccessibleName(accessibleName);
    }
    return box;
}

QLineEdit* makeDigitBox(QWidget* parent, QLatin1String name, int maxLength, MessageBoxes& beeper,
                        const QString& accessibleName) {
    QLineEdit* box = makeTextBox(parent, name, maxLength, accessibleName);
    attachDigitFilter(*box, beeper);
    return box;
}

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

}  // namespace tsumiki
