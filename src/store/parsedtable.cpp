#include "store/parsedtable.h"

#include "store/cp932.h"
#include "store/fieldscan.h"

namespace tsumiki {

using namespace fieldscan;

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

void ParsedTable::rawRow(int row, QByteArrayView* fields) const {
    const size_t first = static_cast<size_t>(row) * static_cast<size_t>(columnCount_);
    const char* s = bytes_.constData();
    quint32 start = rowStarts_[static_cast<size_t>(row)];
    for (size_t c = 0; c < static_cast<size_t>(columnCount_); ++c) {
        const quint32 mark = fieldEnds_[first + c];
        const quint32 end = mark & ~kSpecial;
        if ((mark & kSpecial) != 0) {
            fields[c] = QByteArrayView(special_.at(first + c));
        } else if (end <= start) {
            fields[c] = {};
        } else if (s[start] == '"') {
            fields[c] = QByteArrayView(s + start + 1, qsizetype(end - start) - 2);
        } else {
            fields[c] = QByteArrayView(s + start, qsizetype(end - start));
        }
        start = end + 1;
    }
}

std::optional<ParsedTable::PlainRow> ParsedTable::plainRow(int row) const {
    if (columnCount_ == 0 || columnCount_ > 64) {
        return std::nullopt;
    }
    const size_t first = static_cast<size_t>(row) * static_cast<size_t>(columnCount_);
    const char* s = bytes_.constData();
    const quint32 rowStart = rowStarts_[static_cast<size_t>(row)];
    quint32 start = rowStart;
    quint64 quoted = 0;
    for (size_t c = 0; c < static_cast<size_t>(columnCount_); ++c) {
        const quint32 end = fieldEnds_[first + c];
        // A field missing from the row ends where the one before it did, on the line end instead of a comma.
        if ((end & kSpecial) != 0 || end < start) {
            return std::nullopt;
        }
        if (end > start && s[start] == '"') {
            quoted |= quint64(1) << c;
        }
        const bool last = c + 1 == static_cast<size_t>(columnCount_);
        if (!last && (end >= bytes_.size() || s[end] != ',')) {
            return std::nullopt;
        }
        start = end + 1;
    }
    const quint32 end = start - 1;
    if (end + 1 >= bytes_.size() || s[end] != '\r' || s[end + 1] != '\n') {
        return std::nullopt;
    }
    return PlainRow{QByteArrayView(s + rowStart, qsizetype(end + 2 - rowStart)), quoted};
}

Value ParsedTable::value(int row, int column) const {
    const QByteArrayView v = raw(row, column);
    if (v.isEmpty()) {
        return std::nullopt;
    }
    return cp932::decode(v).text;
}

}  // namespace tsumiki
