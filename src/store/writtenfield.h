#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <algorithm>

namespace tsumiki {

// formatRow's quoting over encoded bytes, for writers that build a whole file without a string per field: a
// field holding a comma, a quote, CR or LF is quoted with its quotes doubled; otherwise it is quoted only when
// the table always quotes that column. Code page 932 never uses these bytes inside a double-byte character.
// Writes the field at `at`, which has room for 2 * field.size() + 2 bytes; returns the end of what it wrote.
inline char* writeWrittenField(char* at, QByteArrayView field, bool alwaysQuoted) {
    bool mustQuote = false;
    for (const char c : field) {
        if (c == ',' || c == '"' || c == '\r' || c == '\n') {
            mustQuote = true;
            break;
        }
    }
    if (!mustQuote && !alwaysQuoted) {
        return std::copy(field.begin(), field.end(), at);
    }
    *at++ = '"';
    if (mustQuote) {
        for (const char c : field) {
            *at++ = c;
            if (c == '"') {
                *at++ = '"';
            }
        }
    } else {
        at = std::copy(field.begin(), field.end(), at);
    }
    *at++ = '"';
    return at;
}

inline void appendWrittenField(QByteArray& out, QByteArrayView field, bool alwaysQuoted) {
    const qsizetype used = out.size();
    out.resize(used + 2 * field.size() + 2);
    char* end = writeWrittenField(out.data() + used, field, alwaysQuoted);
    out.resize(end - out.constData());
}

}  // namespace tsumiki
