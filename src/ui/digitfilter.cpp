#include "ui/digitfilter.h"

#include <QLineEdit>

namespace tsumiki {
namespace {

class LineEditTextBox final : public TextBox {
public:
    explicit LineEditTextBox(QLineEdit& edit) : edit_(edit) {}
    QString text() const override { return edit_.text(); }
    void setText(const QString& text) override { edit_.setText(text); }
    void setCursorPosition(int position) override { edit_.setCursorPosition(position); }
    void setFocus() override { edit_.setFocus(); }

private:
    QLineEdit& edit_;
};

}  // namespace

bool FilterDigits(TextBox& box, MessageBoxes& beeper) {
    const qsizetype n = box.text().size();
    for (qsizetype i = 0; i < n; ++i) {
        const QString text = box.text();
        if (i >= text.size()) {
            break;
        }
        const char16_t c = text[i].unicode();
        const bool misplacedMinus = c == u'-' && i != 0;
        const bool notNumeric = (c >= u' ' && c < u'-') || c == u'/' || c > u'9';
        if (!misplacedMinus && !notNumeric) {
            continue;
        }
        const QString cleaned = text.left(i) + text.mid(i + 1);
        box.setText(cleaned);
        beeper.beep();
        box.setCursorPosition(static_cast<int>(box.text().size()));
        if (misplacedMinus) {
            box.setFocus();
        }
        return true;
    }
    return false;
}

void attachDigitFilter(QLineEdit& edit, MessageBoxes& beeper) {
    QObject::connect(&edit, &QLineEdit::textChanged, &edit, [&edit, &beeper] {
        LineEditTextBox box(edit);
        FilterDigits(box, beeper);
    });
}

}  // namespace tsumiki
