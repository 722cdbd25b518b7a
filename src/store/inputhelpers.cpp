#include "store/inputhelpers.h"

#include "store/cp932.h"

namespace tsumiki {

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
