#pragma once

#include <QLabel>
#include <QPushButton>
#include <QString>
#include <QWidget>

#include "ui/screenparts.h"

// Controls are created with their object names, so tests and accessibility clients find them by name and
// caption.
namespace tsumiki {

inline QLabel* makeLabel(QWidget* parent, const char* name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

// Buttons never click themselves on Return: Enter has its own meaning in several text boxes.
inline QPushButton* makeButton(QWidget* parent, const char* name, const QString& text) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    screenparts::neverDefault(*button);
    button->setAccessibleName(text);
    return button;
}

}  // namespace tsumiki
