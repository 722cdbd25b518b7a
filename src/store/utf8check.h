#pragma once

#include <QByteArrayView>

namespace tsumiki::cp932 {

// True for bytes that are UTF-8 text rather than code page 932, the files' own encoding:
// - a UTF-8 byte-order mark;
// - bytes that are well-formed UTF-8 but not code page 932;
// - bytes that are both, when the UTF-8 reading is Japanese text: characters of three bytes from punctuation,
//   symbols, kana, kanji and full-width forms, at least two of them in each of two values (or eight in one
//   value), and at least twice as many as all other non-ASCII characters.
// Two-byte UTF-8 characters (accented Latin, Greek, Cyrillic) are no evidence either way: each is also a pair of
// half-width katakana, which the tables hold. So a single short value stays ambiguous, and then the code page
// wins.
bool looksLikeUtf8(QByteArrayView bytes);

}  // namespace tsumiki::cp932
