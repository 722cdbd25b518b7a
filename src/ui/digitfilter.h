#pragma once

#include <QString>

#include "platform/messageboxes.h"

class QLineEdit;

namespace tsumiki {

// What FilterDigits needs of a one-line text box; the Qt line edit adapts to it, tests use a plain fake.
// Setting the text raises the box's change notification, as it does for the real box.
class TextBox {
public:
    virtual ~TextBox() = default;
    virtual QString text() const = 0;
    virtual void setText(const QString& text) = 0;
    virtual void setCursorPosition(int position) = 0;
    virtual void setFocus() = 0;
};

// Removes the first character that does not belong in a number (digits, ".", a leading "-" and control
// characters pass), beeps, and puts the caret at the end. Returns true when it removed one. One call removes
// at most one; the box's change notification calls it again on the new text until the text is clean.
bool FilterDigits(TextBox& box, MessageBoxes& beeper);

// Runs FilterDigits on every change of the box's text, so the box keeps to the characters of a number.
void attachDigitFilter(QLineEdit& edit, MessageBoxes& beeper);

}  // namespace tsumiki
