#include "store/parsedtable.h"

#include "store/cp932.h"

#include <bit>
#include <cstdint>
#include <cstring>

namespace tsumiki {

namespace {

bool isLineEnd(char c) {
    return c == '\n' || c == '\r';
}

bool isSeparator(char c) {
    return c == ',' || isLineEnd(c);
}

// Moves past one line end (CR LF, a bare LF or a bare CR) at position i.
qsizetype skipLineEnd(const char* s, qsizetype n, qsizetype i) {
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

std::uint64_t bytesEqual(std::uint64_t word, char c) {
    const std::uint64_t x = word ^ (kOnes * static_cast<unsigned char>(c));
    return (x - kOnes) & ~x & kHighs;
}

// Position of the first byte at or after i for which `found` gives a mark, or n.
template <typename Marks>
qsizetype findFirst(const char* s, qsizetype n, qsizetype i, Marks found) {
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

qsizetype findQuote(const char* s, qsizetype n, qsizetype i) {
    return findFirst(s, n, i, [](std::uint64_t w) { return bytesEqual(w, '"'); });
}

qsizetype findSeparator(const char* s, qsizetype n, qsizetype i) {
    return findFirst(s, n, i,
                     [](std::uint64_t w) { return bytesEqual(w, ',') | bytesEqual(w, '\n') | bytesEqual(w, '\r'); });
}

QByteArray undoubled(const char* s, qsizetype from, qsizetype to) {
    QByteArray value(s + from, to - from);
    value.replace("\"\"", "\"");
    return value;
}

// One field starting at i. Returns the position of the comma or line end after it (or the end of the bytes).
// `special` receives the value when it is not simply the bytes (without their enclosing quotes); `open` is set
// when a quoted field runs to the end of the bytes without its closing quote.
qsizetype scanField(const char* s, qsizetype n, qsizetype i, std::optional<QByteArray>& special, bool& open) {
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

}  // namespace

std::optional<QByteArray> encodedKey(QStringView text) {
    cp932::Encoded e = cp932::encode(text);
    if (e.errorIndex >= 0) {
        return std::nullopt;
    }
    return e.bytes;
}

ParsedTable ParsedTable::parseText(const QString& text) {
    return parse(cp932::encode(text).bytes);
}

ParsedTable ParsedTable::parse(QByteArray bytes) {
    Q_ASSERT(bytes.size() < qsizetype(kSpecial));
    ParsedTable t;
    t.bytes_ = std::move(bytes);
    const char* s = t.bytes_.constData();
    const qsizetype n = t.bytes_.size();
    qsizetype i = 0;
    while (i < n && isLineEnd(s[i])) {
        i = skipLineEnd(s, n, i);
    }
    if (i >= n) {
        return t;
    }
    bool open = false;
    std::optional<QByteArray> special;
    while (true) {
        const qsizetype end = scanField(s, n, i, special, open);
        const qsizetype from = s[i] == '"' ? i + 1 : i;
        const QByteArray name = special ? *special : QByteArray(s + from, (s[i] == '"' ? end - 1 : end) - from);
        t.header_.append(cp932::decode(name).text.trimmed());
        i = end;
        if (i < n && s[i] == ',') {
            ++i;
            continue;
        }
        break;
    }
    t.headerEnd_ = i;
    t.columnCount_ = static_cast<int>(t.header_.size());
    // A clock row takes about 55 bytes; reserving from the size avoids regrowing a large table.
    const size_t rowsExpected = static_cast<size_t>(n / 50 + 16);
    t.rowStarts_.reserve(rowsExpected);
    t.fieldEnds_.reserve(rowsExpected * static_cast<size_t>(t.columnCount_));
    t.ending_ = open ? Ending::OpenQuote : Ending::LineEnd;
    if (!open) {
        t.parseRows(i);
    }
    return t;
}

void ParsedTable::parseRows(qsizetype i) {
    const char* s = bytes_.constData();
    const qsizetype n = bytes_.size();
    const size_t columns = static_cast<size_t>(columnCount_);
    bool open = false;
    std::optional<QByteArray> special;
    while (true) {
        while (i < n && isLineEnd(s[i])) {
            i = skipLineEnd(s, n, i);
        }
        if (i >= n) {
            break;
        }
        rowStarts_.push_back(static_cast<quint32>(i));
        // Fields beyond the header are read and dropped; missing ones stay Null.
        size_t c = 0;
        for (;; ++c) {
            const qsizetype end = scanField(s, n, i, special, open);
            if (c < columns) {
                quint32 mark = static_cast<quint32>(end);
                if (special) {
                    mark |= kSpecial;
                    special_.emplace(fieldEnds_.size(), std::move(*special));
                }
                fieldEnds_.push_back(mark);
            }
            i = end;
            if (i < n && s[i] == ',') {
                ++i;
                continue;
            }
            break;
        }
        for (++c; c < columns; ++c) {
            fieldEnds_.push_back(fieldEnds_.back() & ~kSpecial);
        }
        ++rowCount_;
    }
    if (open) {
        ending_ = Ending::OpenQuote;
    } else {
        ending_ = n == 0 || isLineEnd(s[n - 1]) ? Ending::LineEnd : Ending::OpenLine;
    }
}

bool ParsedTable::grewFrom(const ParsedTable& earlier) const {
    return earlier.ending_ == Ending::LineEnd && bytes_.startsWith(earlier.bytes_);
}

void ParsedTable::extend(QByteArrayView more) {
    derived_.clear();
    if (more.isEmpty()) {
        return;
    }
    if (ending_ != Ending::LineEnd || columnCount_ == 0) {
        QByteArray all = std::move(bytes_);
        all.append(more);
        *this = parse(std::move(all));
        return;
    }
    const qsizetype from = bytes_.size();
    Q_ASSERT(from + more.size() < qsizetype(kSpecial));
    bytes_.append(more);
    parseRows(from);
}

int ParsedTable::column(QStringView name) const {
    for (int c = 0; c < columnCount_; ++c) {
        if (QStringView(header_[c]).compare(name, Qt::CaseInsensitive) == 0) {
            return c;
        }
    }
    return -1;
}

QByteArrayView ParsedTable::raw(int row, int column) const {
    if (column < 0 || column >= columnCount_ || row < 0 || row >= rowCount_) {
        return {};
    }
    const size_t index = static_cast<size_t>(row) * static_cast<size_t>(columnCount_) + static_cast<size_t>(column);
    const quint32 end = fieldEnds_[index];
    if ((end & kSpecial) != 0) {
        return QByteArrayView(special_.at(index));
    }
    const quint32 start = column == 0 ? rowStarts_[row] : (fieldEnds_[index - 1] & ~kSpecial) + 1;
    if (end <= start) {
        return {};
    }
    const char* s = bytes_.constData();
    if (s[start] == '"') {
        return QByteArrayView(s + start + 1, qsizetype(end - start) - 2);
    }
    return QByteArrayView(s + start, qsizetype(end - start));
}

Value ParsedTable::value(int row, int column) const {
    const QByteArrayView v = raw(row, column);
    if (v.isEmpty()) {
        return std::nullopt;
    }
    return cp932::decode(v).text;
}

}  // namespace tsumiki
