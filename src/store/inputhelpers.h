#pragma once

#include <QString>
#include <QStringView>

#include "platform/messageboxes.h"

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

// True when no character of the text takes a single byte in code page 932 (a character the code page cannot
// carry counts as single-byte, as it would be written as "?"). Empty text gives true.
bool IsDoubleByteText(QStringView text);

}  // namespace tsumiki
