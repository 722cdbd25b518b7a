#include "store/inputhelpers.h"

#include "store/cp932.h"

namespace tsumiki {

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

bool IsDoubleByteText(QStringView text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t ch = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ch = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        if (cp932::encodedLength(ch) != 2) {
            return false;
        }
    }
    return true;
}

}  // namespace tsumiki
