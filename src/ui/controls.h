#pragma once

#include <QLatin1String>
#include <QString>
#include <QtGlobal>

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace tsumiki {

class MessageBoxes;

// The one way screens make their controls, so that every control carries its given objectName (tests and the
// screenshot walk find it by name) and accessibility clients find it by its caption. Every label is plain
// text: a name such as "<b>" is shown as typed and never read as markup.

// A caption. With a buddy, accessibility clients name the buddy by this caption.
QLabel* makeLabel(QWidget* parent, QLatin1String name, const QString& caption, QWidget* buddy = nullptr);

// A label that shows data (a nickname, a time, a message). It has no accessible name of its own, so
// accessibility clients read its current text, told when it changes; `description` says what it shows.
QLabel* makeDataLabel(QWidget* parent, QLatin1String name, const QString& description, const QString& text = {});

// Never the dialog's default: Enter clicks a button only while it has the focus (see Screen). A default button
// would be clicked by Enter anywhere on the screen, in the ID box or on the 同伴 box too.
QPushButton* makeButton(QWidget* parent, QLatin1String name, const QString& caption);

inline constexpr int kNoMaxLength = 32767;  // QLineEdit's own limit

// A one-line text box; `accessibleName` where no caption label names it.
QLineEdit* makeTextBox(QWidget* parent, QLatin1String name, int maxLength = kNoMaxLength,
                       const QString& accessibleName = {});

// A text box that keeps to the characters of a number (FilterDigits on every change, beeping through `beeper`).
QLineEdit* makeDigitBox(QWidget* parent, QLatin1String name, int maxLength, MessageBoxes& beeper,
                        const QString& accessibleName = {});

// Sizes relative to the application font, so that the screens grow with the font and with the display's scale
// factor instead of relying on pixel positions.
void scaleFont(QWidget& widget, qreal factor, bool bold = false);

// Marks a label as a refusal, in red.
void markAsRefusal(QLabel& label);

}  // namespace tsumiki
