#pragma once

#include <QByteArray>

#include <bit>
#include <cstdint>
#include <cstring>
#include <optional>

// Finding the fields of a table file in its bytes, for the parser. Kept inline in a header: the scan runs once per
// field of a large clock table.
namespace tsumiki::fieldscan {

inline bool isLineEnd(char c) {
    return c == '\n' || c == '\r';
}

inline bool isSeparator(char c) {
    return c == ',' || isLineEnd(c);
}

// Moves past one line end (CR LF, a bare LF or a bare CR) at position i.
inline qsizetype skipLineEnd(const char* s, qsizetype n, qsizetype i) {
    if (i < n && s[i] == '\r') {
        ++i;
    }
    if (i < n && s[i] == '\n') {
        ++i;
    }
    return i;
}

// SWAR search, eight bytes at a time: fields are short, so this beats a library call per field.
constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
constexpr std::uint64_t kHighs = 0x8080808080808080ULL;

inline std::uint64_t bytesEqual(std::uint64_t word, char c) {
    const std::uint64_t x = word ^ (kOnes * static_cast<unsigned char>(c));
    return (x - kOnes) & ~x & kHighs;
}

// Position of the first byte at or after i for which `found` gives a mark, or n.
template <typename Marks>
inline qsizetype findFirst(const char* s, qsizetype n, qsizetype i, Marks found) {
    while (n - i >= 8) {
        std::uint64_t word;
        std::memcpy(&word, s + i, 8);
        if (const std::uint64_t m = found(word); m != 0) {
            // Marks above the first true one may be false (a borrow), but the lowest is exact.
            return i + std::countr_zero(m) / 8;
        }
        i += 8;
    }
    while (i < n && found(static_cast<unsigned char>(s[i])) == 0) {
        ++i;
    }
    return i;
}

inline qsizetype findQuote(const char* s, qsizetype n, qsizetype i) {
    return findFirst(s, n, i, [](std::uint64_t w) { return bytesEqual(w, '"'); });
}

inline qsizetype findSeparator(const char* s, qsizetype n, qsizetype i) {
    return findFirst(s, n, i,
                     [](std::uint64_t w) { return bytesEqual(w, ',') | bytesEqual(w, '\n') | bytesEqual(w, '\r'); });
}

inline QByteArray undoubled(const char* s, qsizetype from, qsizetype to) {
    QByteArray value(s + from, to - from);
    value.replace("\"\"", "\"");
    return value;
}

// One field starting at i. Returns the position of the comma or line end after it (or the end of the bytes).
// `special` receives the value when it is not simply the bytes (without their enclosing quotes); `open` is set
// when a quoted field runs to the end of the bytes without its closing quote.
inline qsizetype scanField(const char* s, qsizetype n, qsizetype i, std::optional<QByteArray>& special, bool& open) {
    special.reset();
    if (i >= n || s[i] != '"') {
        return findSeparator(s, n, i);
    }
    const qsizetype start = i + 1;
    bool doubled = false;
    qsizetype j = start;
    while (true) {
        const qsizetype k = findQuote(s, n, j);
        if (k >= n) {
            open = true;
            special = undoubled(s, start, n);
            return n;
        }
        if (k + 1 < n && s[k + 1] == '"') {
            doubled = true;
            j = k + 2;
            continue;
        }
        qsizetype end = k + 1;
        if (end >= n || isSeparator(s[end])) {
            if (doubled) {
                special = undoubled(s, start, k);
            }
            return end;
        }
        // A stray quote: the rest of the field up to the separator is kept as written.
        end = findSeparator(s, n, end);
        QByteArray value = undoubled(s, start, k);
        value.append(s + k, end - k);
        special = std::move(value);
        return end;
    }
}

}  // namespace tsumiki::fieldscan
