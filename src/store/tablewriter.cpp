#include "store/tablewriter.h"

#include <algorithm>

#include "store/cp932.h"
#include "store/storeerror.h"
#include "store/tablefile.h"

namespace tsumiki {
namespace {

constexpr quint32 kDoubled = 0xFFFFFFFFU;

bool needsQuotes(QByteArrayView value) {
    return std::any_of(value.begin(), value.end(),
                       [](char c) { return c == ',' || c == '"' || c == '\r' || c == '\n'; });
}

}  // namespace

TableWriter::TableWriter(Table table) : table_(table) {
    const TableSchema& schema = schemaOf(table);
    out_ = schema.columns.join(u',').toLatin1() + "\r\n";
    for (qsizetype c = 0; c < schema.columns.size(); ++c) {
        columnAt_.push_back(int(c));
        alwaysQuoted_.push_back(schema.alwaysQuoted[c]);
    }
    used_ = rowsStart_ = out_.size();
}

TableWriter::TableWriter(Table table, const ParsedTable& file) : table_(table) {
    const TableSchema& schema = schemaOf(table);
    out_ = file.bytes().left(file.headerEnd()) + "\r\n";
    for (const QString& name : file.header()) {
        const qsizetype c = schema.columns.indexOf(name.toUpper());
        columnAt_.push_back(int(c));
        alwaysQuoted_.push_back(c >= 0 && schema.alwaysQuoted[c]);
    }
    used_ = rowsStart_ = out_.size();
}

void TableWriter::reserve(int rows, qsizetype bytes) {
    out_.reserve(used_ + bytes);
    valueStart_.reserve(std::size_t(rows) * columnAt_.size());
    valueEnd_.reserve(std::size_t(rows) * columnAt_.size());
}

// Room for the row is made up front and the bytes written in place; the array keeps its size equal to what
// was written between rows.
void TableWriter::beginRow(qsizetype room) {
    if (used_ + room > out_.capacity()) {
        out_.reserve(std::max(out_.capacity() * 2, used_ + room));
    }
    out_.resize(used_ + room);
    ++rowCount_;
}

// At most 2 * value.size() + 3 bytes (quotes, doubled quotes, the comma before it).
void TableWriter::writeField(int position, QByteArrayView value) {
    char* at = out_.data() + used_;
    if (position > 0) {
        *at++ = ',';
    }
    const bool mustQuote = needsQuotes(value);
    const bool quoted = mustQuote || alwaysQuoted_[std::size_t(position)];
    if (quoted) {
        *at++ = '"';
    }
    quint32 start = quint32(at - out_.constData());
    if (mustQuote && value.contains('"')) {
        for (const char c : value) {
            *at++ = c;
            if (c == '"') {
                *at++ = '"';
            }
        }
        doubled_.emplace(valueStart_.size(), value.toByteArray());
        start = kDoubled;
    } else {
        at = std::copy(value.begin(), value.end(), at);
    }
    valueStart_.push_back(start);
    valueEnd_.push_back(quint32(at - out_.constData()));
    if (quoted) {
        *at++ = '"';
    }
    used_ = at - out_.constData();
}

void TableWriter::addStored(const QByteArrayView* fields) {
    qsizetype room = 2;
    for (const int c : columnAt_) {
        room += c < 0 ? 3 : 2 * fields[c].size() + 3;
    }
    beginRow(room);
    for (std::size_t p = 0; p < columnAt_.size(); ++p) {
        writeField(int(p), columnAt_[p] < 0 ? QByteArrayView() : fields[columnAt_[p]]);
    }
    out_[used_++] = '\r';
    out_[used_++] = '\n';
    out_.truncate(used_);
}

std::optional<TableWriter::Unencodable> TableWriter::addValues(const QList<Value>& values) {
    const qsizetype columns = schemaOf(table_).columns.size();
    std::vector<QByteArray> encoded(static_cast<std::size_t>(columns));
    std::vector<QByteArrayView> fields(static_cast<std::size_t>(columns));
    for (qsizetype c = 0; c < columns && c < values.size(); ++c) {
        const QString text = values[c].value_or(QString());
        cp932::Encoded e = cp932::encode(text);
        if (e.errorIndex >= 0) {
            return Unencodable{int(c), describeCharacter(text, e.errorIndex)};
        }
        encoded[std::size_t(c)] = std::move(e.bytes);
        fields[std::size_t(c)] = encoded[std::size_t(c)];
    }
    addStored(fields.data());
    return std::nullopt;
}

WriteResult TableWriter::checkReadsBack(const QString& path) const {
    auto refused = [&](const QString& why) {
        return WriteError{WriteError::Kind::WouldNotReadBack,
                          QStringLiteral("この内容でファイル「%1」を保存すると、次に読み込んだときに%2ため、"
                                         "書き込みを中止しました。")
                              .arg(shownPath(path), why)};
    };
    ParsedTable parsed;
    try {
        parsed = parseTableFile(table_, out_, path);
    } catch (const StoreError&) {
        return refused(cp932::isAscii(out_) ? QStringLiteral("読み込めなくなる")
                                            : QStringLiteral("Shift_JIS のファイルとして読み込めなくなる"));
    }
    if (parsed.rowCount() != rowCount_ || parsed.header().size() != qsizetype(columnAt_.size())) {
        return refused(QStringLiteral("行の数が変わってしまう"));
    }
    // The parsed table shares the written bytes, so a value read from the place it was written to is the same
    // view: compared by place, without comparing bytes.
    const char* base = out_.constData();
    const std::size_t columns = columnAt_.size();
    std::vector<QByteArrayView> read(columns);
    for (int r = 0; r < rowCount_; ++r) {
        parsed.rawRow(r, read.data());
        for (std::size_t p = 0; p < columns; ++p) {
            const std::size_t i = std::size_t(r) * columns + p;
            const QByteArrayView expected = valueStart_[i] == kDoubled
                                                ? QByteArrayView(doubled_.at(i))
                                                : QByteArrayView(base + valueStart_[i], valueEnd_[i] - valueStart_[i]);
            const bool samePlace = read[p].data() == expected.data() && read[p].size() == expected.size();
            if (!samePlace && read[p] != expected) {
                return refused(QStringLiteral("%1行目の値が変わってしまう").arg(r + 1));
            }
        }
    }
    return std::nullopt;
}

}  // namespace tsumiki
