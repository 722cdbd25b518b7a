#include "store/utf8check.h"

#include <algorithm>

#include "store/cp932.h"

namespace tsumiki::cp932 {
namespace {

// One UTF-8 sequence at p (first byte not ASCII): its length, or 0 when it is not well-formed.
int utf8Sequence(const unsigned char* p, const unsigned char* end, char32_t& c) {
    const unsigned char b = p[0];
    int length = 0;
    char32_t min = 0;
    if (b >= 0xC2 && b <= 0xDF) {
        length = 2;
        c = b & 0x1F;
        min = 0x80;
    } else if (b >= 0xE0 && b <= 0xEF) {
        length = 3;
        c = b & 0x0F;
        min = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
        length = 4;
        c = b & 0x07;
        min = 0x10000;
    } else {
        return 0;
    }
    if (end - p < length) {
        return 0;
    }
    for (int k = 1; k < length; ++k) {
        if ((p[k] & 0xC0) != 0x80) {
            return 0;
        }
        c = c << 6 | (p[k] & 0x3F);
    }
    if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        return 0;
    }
    return length;
}

// Characters of Japanese text that take three bytes in UTF-8: general punctuation and symbols (…, ①, →, ■),
// CJK punctuation, kana and kanji, compatibility ideographs and forms, full-width forms.
bool isJapaneseTextCharacter(char32_t c) {
    return (c >= 0x2000 && c <= 0x2BFF) || (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFFEF);
}

bool isFieldEnd(unsigned char b) {
    return b == ',' || b == '\r' || b == '\n';
}

}  // namespace

bool looksLikeUtf8(QByteArrayView bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* const end = p + bytes.size();
    if (bytes.size() >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF) {
        return true;
    }
    int japanese = 0;
    int other = 0;
    // Per value: structural bytes are ASCII, so both readings split the fields at the same places.
    int inField = 0;
    int fieldsWithTwo = 0;
    int mostInOneField = 0;
    for (const unsigned char* q = p; q < end;) {
        if (*q < 0x80) {
            if (isFieldEnd(*q)) {
                inField = 0;
            }
            ++q;
            continue;
        }
        char32_t c = 0;
        const int length = utf8Sequence(q, end, c);
        if (length == 0) {
            return false;
        }
        if (length == 3 && isJapaneseTextCharacter(c)) {
            ++japanese;
            fieldsWithTwo += ++inField == 2 ? 1 : 0;
            mostInOneField = std::max(mostInOneField, inField);
        } else {
            ++other;
        }
        q += length;
    }
    if (japanese + other == 0) {
        return false;
    }
    if (firstInvalidByte(bytes) >= 0) {
        return true;
    }
    return (fieldsWithTwo >= 2 || mostInOneField >= 8) && japanese >= 2 * other;
}

}  // namespace tsumiki::cp932
