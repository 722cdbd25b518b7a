#include "ui/lineedit.h"

#include <QLineEdit>

namespace tsumiki {

QString LineEditTextBox::text() const {
    return edit_.text();
}
void LineEditTextBox::setText(const QString& text) {
    edit_.setText(text);
}
void LineEditTextBox::setCursorPosition(int position) {
    edit_.setCursorPosition(position);
}
void LineEditTextBox::setFocus() {
    edit_.setFocus();
}

void attachDigitFilter(QLineEdit& edit, MessageBoxes& beeper) {
    QObject::connect(&edit, &QLineEdit::textChanged, &edit, [&edit, &beeper] {
        LineEditTextBox box(edit);
        FilterDigits(box, beeper);
    });
}

}  // namespace tsumiki
