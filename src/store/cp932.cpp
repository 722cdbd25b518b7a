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

QString asStored(QStringView text) {
    const Encoded e = encode(text);
    return e.errorIndex < 0 ? decode(e.bytes).text : text.toString();
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

}  // namespace tsumiki::cp932
