#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Code page 932 (the Windows form of Shift-JIS), the encoding of every table file. The tables are built once
// from the C library's converter, so the mapping is the one the files need (0x8160 is U+FF5E, 0x817C is
// U+FF0D, 0x8740 is U+2460), and decoding runs without a call per character. The single bytes 0x80, 0xA0 and
// 0xFD to 0xFF are U+0080 and U+F8F0 to U+F8F3, as Windows reads them.
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

bool isAscii(QByteArrayView bytes);

struct Encoded {
    QByteArray bytes;
    // Index (in UTF-16 units) of the first character code page 932 cannot carry, or -1.
    qsizetype errorIndex = -1;
};
// Besides the code page's own mapping, U+301C, U+2016, U+2212, U+00A2, U+00A3 and U+00AC (what input methods
// elsewhere give for the same signs) are written as 0x8160, 0x8161, 0x817C, 0x8191, 0x8192 and 0x81CA.
Encoded encode(QStringView text);

// The text as a read gives it back after it was written: characters with a second source (〜 for ～ …) become the
// code page's own. Text the code page cannot carry is returned as it is.
QString asStored(QStringView text);

// Bytes the character takes in code page 932: 1 or 2, or 0 when it cannot be represented.
int encodedLength(char32_t ch);

}  // namespace tsumiki::cp932
