#pragma once

#include "platform/messageboxes.h"
#include "store/inputhelpers.h"

class QLineEdit;

namespace tsumiki {

// A QLineEdit seen as the TextBox that FilterDigits works on.
class LineEditTextBox final : public TextBox {
public:
    explicit LineEditTextBox(QLineEdit& edit) : edit_(edit) {}
    QString text() const override;
    void setText(const QString& text) override;
    void setCursorPosition(int position) override;
    void setFocus() override;

private:
    QLineEdit& edit_;
};

// Runs FilterDigits on every change of the box's text, so the box keeps to the characters of a number.
void attachDigitFilter(QLineEdit& edit, MessageBoxes& beeper);

}  // namespace tsumiki
