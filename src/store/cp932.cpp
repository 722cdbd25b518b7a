#include "store/cp932.h"

#include <iconv.h>

#include <array>
#include <cstring>
#include <memory>

namespace tsumiki::cp932 {
namespace {

struct Tables {
    // Double-byte codes by (lead << 8 | trail); single bytes by their value. 0 marks "no character".
    std::array<char16_t, 65536> doubleByte{};
    std::array<char16_t, 256> singleByte{};
    std::array<bool, 256> isLead{};
    // Unicode (BMP) to code: a value below 0x100 is a single byte, 0 means unrepresentable (U+0000 is handled
    // apart).
    std::array<std::uint16_t, 65536> toCode{};
};

char16_t convertWithIconv(iconv_t cd, const unsigned char* in, size_t inLength) {
    char16_t out[4] = {};
    auto* inPtr = const_cast<char*>(reinterpret_cast<const char*>(in));
    auto* outPtr = reinterpret_cast<char*>(out);
    size_t inLeft = inLength;
    size_t outLeft = sizeof(out);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) || inLeft != 0) {
        return 0;
    }
    // Exactly one UTF-16 unit: code page 932 has no characters outside the BMP.
    return sizeof(out) - outLeft == sizeof(char16_t) ? out[0] : char16_t{0};
}

// Length of the run of ASCII bytes at the start of [p, end), found eight bytes at a time: the clock table is
// almost all ASCII, so this is where decoding and checking spend their time.
qsizetype asciiRun(const unsigned char* p, const unsigned char* end) {
    const unsigned char* q = p;
    while (end - q >= 8) {
        std::uint64_t word;
        std::memcpy(&word, q, 8);
        if ((word & 0x8080808080808080ULL) != 0) {
            break;
        }
        q += 8;
    }
    while (q < end && *q < 0x80) {
        ++q;
    }
    return q - p;
}

bool isNecSelectedIbmRow(unsigned lead) {
    return lead == 0xED || lead == 0xEE;
}

std::unique_ptr<Tables> buildTables() {
    auto t = std::make_unique<Tables>();
    iconv_t cd = iconv_open("UTF-16LE", "CP932");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        qFatal("code page 932 converter is not available");
    }
    for (unsigned b = 0; b < 0x80; ++b) {
        t->singleByte[b] = static_cast<char16_t>(b);
    }
    for (unsigned b = 0x80; b < 0x100; ++b) {
        t->isLead[b] = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
        if (!t->isLead[b]) {
            const unsigned char in[1] = {static_cast<unsigned char>(b)};
            t->singleByte[b] = convertWithIconv(cd, in, 1);
        }
    }
    // Single bytes the C library refuses but Windows reads, so a file from there round-trips.
    t->singleByte[0x80] = 0x0080;
    t->singleByte[0xA0] = 0xF8F0;
    t->singleByte[0xFD] = 0xF8F1;
    t->singleByte[0xFE] = 0xF8F2;
    t->singleByte[0xFF] = 0xF8F3;
    for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
        if (!t->isLead[lead]) {
            continue;
        }
        for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
            if (trail == 0x7F) {
                continue;
            }
            const unsigned char in[2] = {static_cast<unsigned char>(lead), static_cast<unsigned char>(trail)};
            char16_t ch = convertWithIconv(cd, in, 2);
            if (ch == 0 && lead >= 0xF0 && lead <= 0xF9) {
                // The user-defined area, which the C library leaves out: Windows maps it to the private use
                // area, and a shop's own characters there must survive a read and a rewrite.
                ch = static_cast<char16_t>(0xE000 + (lead - 0xF0) * 188 + (trail - 0x40) - (trail > 0x7F ? 1 : 0));
            }
            t->doubleByte[lead << 8 | trail] = ch;
        }
    }
    iconv_close(cd);

    // Encoding prefers the lowest code of a character, except that the NEC-selected IBM rows (0xED, 0xEE) give
    // way to the IBM rows: the choice Windows makes, so files written here match files written there.
    auto prefer = [&](char16_t ch, unsigned code) {
        if (ch != 0 && t->toCode[ch] == 0) {
            t->toCode[ch] = static_cast<std::uint16_t>(code);
        }
    };
    for (unsigned b = 1; b <= 0xFF; ++b) {
        prefer(t->singleByte[b], b);
    }
    for (bool necSelectedRows : {false, true}) {
        for (unsigned code = 0x8140; code <= 0xFCFC; ++code) {
            if (isNecSelectedIbmRow(code >> 8) == necSelectedRows) {
                prefer(t->doubleByte[code], code);
            }
        }
    }
    // What input methods outside Windows produce for characters the code page holds under another code point:
    // written as the code page's own character, which looks the same.
    for (const auto& [ch, code] : {std::pair<char16_t, unsigned>{0x301C, 0x8160},
                                   {0x2016, 0x8161},
                                   {0x2212, 0x817C},
                                   {0x00A2, 0x8191},
                                   {0x00A3, 0x8192},
                                   {0x00AC, 0x81CA}}) {
        prefer(ch, code);
    }
    return t;
}

const Tables& tables() {
    static const std::unique_ptr<Tables> instance = buildTables();
    return *instance;
}

}  // namespace

Decoded decode(QByteArrayView bytes) {
    const Tables& t = tables();
    Decoded result;
    result.text.resize(bytes.size());
    char16_t* out = reinterpret_cast<char16_t*>(result.text.data());
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype n = bytes.size();
    qsizetype written = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const qsizetype run = asciiRun(in + i, in + n);
        if (run > 0) {
            for (qsizetype k = 0; k < run; ++k) {
                out[written + k] = in[i + k];
            }
            written += run;
            i += run - 1;
            continue;
        }
        const unsigned char b = in[i];
        char16_t ch = 0;
        if (t.isLead[b]) {
            if (i + 1 < n) {
                ch = t.doubleByte[static_cast<unsigned>(b) << 8 | in[i + 1]];
            }
            if (ch != 0) {
                ++i;
            }
        } else {
            ch = t.singleByte[b];
        }
        if (ch == 0) {
            result.errorOffset = i;
            result.text.clear();
            return result;
        }
        out[written++] = ch;
    }
    result.text.resize(written);
    return result;
}

qsizetype firstInvalidByte(QByteArrayView bytes, bool* sawNonAscii) {
    const Tables& t = tables();
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype n = bytes.size();
    if (sawNonAscii != nullptr) {
        *sawNonAscii = false;
    }
    for (qsizetype i = 0; i < n; ++i) {
        i += asciiRun(in + i, in + n);
        if (i >= n) {
            break;
        }
        if (sawNonAscii != nullptr) {
            *sawNonAscii = true;
        }
        const unsigned char b = in[i];
        if (t.isLead[b]) {
            if (i + 1 >= n || t.doubleByte[static_cast<unsigned>(b) << 8 | in[i + 1]] == 0) {
                return i;
            }
            ++i;
        } else if (t.singleByte[b] == 0) {
            return i;
        }
    }
    return -1;
}

bool isAscii(QByteArrayView bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    return asciiRun(p, p + bytes.size()) == bytes.size();
}

Encoded encode(QStringView text) {
    const Tables& t = tables();
    Encoded result;
    result.bytes.reserve(text.size() * 2);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t ch = text[i].unicode();
        if (ch < 0x80) {
            result.bytes.append(static_cast<char>(ch));
            continue;
        }
        const std::uint16_t code = t.toCode[ch];
        if (code == 0) {
            result.errorIndex = i;
            result.bytes.clear();
            return result;
        }
        if (code > 0xFF) {
            result.bytes.append(static_cast<char>(code >> 8));
        }
        result.bytes.append(static_cast<char>(code & 0xFF));
    }
    return result;
}

int encodedLength(char32_t ch) {
    if (ch < 0x80) {
        return 1;
    }
    if (ch > 0xFFFF) {
        return 0;
    }
    const std::uint16_t code = tables().toCode[ch];
    return code == 0 ? 0 : (code > 0xFF ? 2 : 1);
}

namespace {

// Characters that UTF-8 text of a shop plausibly holds: Latin letters and signs, Greek, Cyrillic, punctuation
// and symbols, Japanese punctuation, kana and ideographs, full-width forms.
bool isPlausibleUtf8Character(char32_t c) {
    return (c >= 0xA0 && c <= 0x24F) || (c >= 0x370 && c <= 0x4FF) || (c >= 0x2010 && c <= 0x2BFF) ||
           (c >= 0x3000 && c <= 0x30FF) || (c >= 0x3200 && c <= 0x33FF) || (c >= 0x4E00 && c <= 0x9FFF) ||
           (c >= 0xFF01 && c <= 0xFFEF);
}

bool isAsciiAlnum(unsigned char b) {
    return (b >= '0' && b <= '9') || ((b | 0x20) >= 'a' && (b | 0x20) <= 'z');
}

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

// How plausible a code page 932 character is in a shop's table, in halves: the common rows (symbols, kana,
// Latin, Greek, Cyrillic, the first level of kanji) 2, the rare ones (second-level and vendor kanji) 1,
// half-width katakana 0, the user-defined area and the bare bytes outside the usual set -4.
int cp932Plausibility(unsigned code) {
    if (code < 0x100) {
        return code >= 0xA1 && code <= 0xDF ? 0 : -4;
    }
    if ((code >= 0x8140 && code <= 0x84BE) || (code >= 0x889F && code <= 0x9872)) {
        return 2;
    }
    if (code >= 0xF040 && code <= 0xF9FC) {
        return -4;
    }
    return 1;
}

}  // namespace

bool looksLikeUtf8(QByteArrayView bytes) {
    const Tables& t = tables();
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype n = bytes.size();
    if (n >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF) {
        return true;
    }
    // The UTF-8 reading, in halves: a Latin letter or sign of two bytes that begins a run of non-ASCII bytes next
    // to an ASCII letter or digit (café, 25°C) 6, as double-byte code page 932 text can never give one there;
    // any other plausible character 2; an implausible one -8.
    int utf8Score = 0;
    int plausible = 0;
    int implausible = 0;
    for (qsizetype i = 0; i < n;) {
        i += asciiRun(p + i, p + n);
        if (i >= n) {
            break;
        }
        const bool runStart = i == 0 || p[i - 1] < 0x80;
        char32_t c = 0;
        const int length = utf8Sequence(p + i, p + n, c);
        if (length == 0) {
            return false;
        }
        if (!isPlausibleUtf8Character(c)) {
            ++implausible;
            utf8Score -= 8;
        } else {
            ++plausible;
            const bool besideWord =
                (i > 0 && isAsciiAlnum(p[i - 1])) || (i + length < n && isAsciiAlnum(p[i + length]));
            utf8Score += length == 2 && runStart && besideWord ? 6 : 2;
        }
        i += length;
    }
    if (plausible == 0) {
        return false;
    }
    // Plenty of plausible text decides alone: no table a shop writes in code page 932 reads as that much UTF-8.
    if (plausible >= 8 && implausible * 8 <= plausible) {
        return true;
    }
    // Little text: UTF-8 only when it reads clearly better than code page 932 does. A run of up to seven
    // double-byte characters gives at most one plausible UTF-8 character fewer than the run's length, each
    // worth 2, against at least 1 per character, so it can never reach the margin: the code page wins.
    int cp932Score = 0;
    for (qsizetype i = 0; i < n; ++i) {
        i += asciiRun(p + i, p + n);
        if (i >= n) {
            break;
        }
        const unsigned char b = p[i];
        if (t.isLead[b]) {
            if (i + 1 >= n || t.doubleByte[static_cast<unsigned>(b) << 8 | p[i + 1]] == 0) {
                return true;  // not code page 932 at all
            }
            cp932Score += cp932Plausibility(static_cast<unsigned>(b) << 8 | p[i + 1]);
            ++i;
        } else {
            cp932Score += cp932Plausibility(b);
        }
    }
    return utf8Score - cp932Score >= 6;
}

}  // namespace tsumiki::cp932
