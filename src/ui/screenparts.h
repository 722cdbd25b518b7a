#pragma once

#include <QtGlobal>

class QKeyEvent;
class QLabel;
class QPushButton;
class QWidget;

// What the screens share: sizes relative to the application font, so that the screens grow with
// the font and with the display's scale factor instead of relying on pixel positions, and their keys.
namespace tsumiki::screenparts {

// Sets the widget's font to the application font scaled by the factor, optionally bold.
void scaleFont(QWidget& widget, qreal factor, bool bold = false);

// Marks a label as a refusal, in red.
void markAsRefusal(QLabel& label);

// A label that shows stored data: plain text only, so that a name such as "<b>" is shown as typed and never
// read as markup.
void showsDataAsPlainText(QLabel& label);

// A button that is never the dialog's default: Enter clicks it only while it has the focus (see handleKey).
// A default button would be clicked by Enter anywhere on the screen, in the ID box or on the 同伴 box too.
void neverDefault(QPushButton& button);

// The screen's own keys, for its keyPressEvent; true when the key was used. Enter presses the focused button.
// Escape does nothing: a screen closes only by its button or its close box.
bool handleKey(QWidget& screen, QKeyEvent& event);

bool isEnterKey(const QKeyEvent& event);

}  // namespace tsumiki::screenparts
