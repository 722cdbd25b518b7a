#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace tsumiki {

// formatRow's quoting over encoded bytes, for writers that build a whole file without a string per field: a
// field holding a comma, a quote, CR or LF is quoted with its quotes doubled; otherwise it is quoted only when
// the table always quotes that column. Code page 932 never uses these bytes inside a double-byte character.
inline void appendWrittenField(QByteArray& out, QByteArrayView field, bool alwaysQuoted) {
    bool mustQuote = false;
    for (const char c : field) {
        if (c == ',' || c == '"' || c == '\r' || c == '\n') {
            mustQuote = true;
            break;
        }
    }
    if (!mustQuote && !alwaysQuoted) {
        out.append(field);
        return;
    }
    out.append('"');
    if (mustQuote) {
        for (const char c : field) {
            out.append(c);
            if (c == '"') {
                out.append('"');
            }
        }
    } else {
        out.append(field);
    }
    out.append('"');
}

}  // namespace tsumiki
