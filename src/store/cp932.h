#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Code page 932 (the Windows form of Shift-JIS), the encoding of every table file. The tables are built once
// from the C library's converter, so the mapping is the one the files need (0x8160 is U+FF5E, 0x817C is
// U+FF0D, 0x8740 is U+2460), and decoding runs without a call per character.
namespace tsumiki::cp932 {

struct Decoded {
    QString text;
    // Byte offset of the first sequence that is not code page 932, or -1 when the whole input decoded.
    qsizetype errorOffset = -1;
};
Decoded decode(QByteArrayView bytes);
// The byte offset of the first sequence that is not code page 932, or -1: decode without the output.
// `sawNonAscii`, when given, tells whether any byte above 0x7F was met.
qsizetype firstInvalidByte(QByteArrayView bytes, bool* sawNonAscii = nullptr);

struct Encoded {
    QByteArray bytes;
    // Index (in UTF-16 units) of the first character code page 932 cannot carry, or -1.
    qsizetype errorIndex = -1;
};
Encoded encode(QStringView text);

// Bytes the character takes in code page 932: 1 or 2, or 0 when it cannot be represented.
int encodedLength(char32_t ch);

// True for a byte sequence that is plainly UTF-8 rather than code page 932: a UTF-8 byte-order mark, or
// non-ASCII bytes that all form valid UTF-8 with at least one three-byte sequence (Japanese text in UTF-8).
bool looksLikeUtf8(QByteArrayView bytes);

}  // namespace tsumiki::cp932
