#include "store/tablewriter.h"

#include <algorithm>

#include "store/cp932.h"
#include "store/tablefile.h"

namespace tsumiki {
namespace {

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
    ++writtenRows_;
}

bool TableWriter::takesRowsOf(const ParsedTable& file) const {
    const QStringList& names = schemaOf(table_).columns;
    if (file.columnCount() != qsizetype(columnAt_.size())) {
        return false;
    }
    for (std::size_t p = 0; p < columnAt_.size(); ++p) {
        if (columnAt_[p] < 0 || file.header()[qsizetype(p)].compare(names[columnAt_[p]], Qt::CaseInsensitive) != 0) {
            return false;
        }
    }
    return true;
}

// Whether writeField would enclose exactly the fields that `quoted` marks: every always-quoted column, and a
// bare column when its value needs quotes (a bare field holding a quote would be quoted and doubled).
bool TableWriter::quotedAsWritten(const ParsedTable& file, int row, quint64 quoted) const {
    for (std::size_t p = 0; p < columnAt_.size(); ++p) {
        const bool written = alwaysQuoted_[p] || needsQuotes(file.raw(row, int(p)));
        if (((quoted >> p) & 1) != quint64(written)) {
            return false;
        }
    }
    return true;
}

void TableWriter::addRowsOf(const ParsedTable& file, int first, int count) {
    // Lines that follow each other in the file are copied in one piece.
    const char* runStart = nullptr;
    qsizetype runSize = 0;
    int runRows = 0;
    auto flush = [&] {
        if (runRows > 0) {
            addCopied(QByteArrayView(runStart, runSize), runRows);
        }
        runRows = 0;
    };
    // A row written field by field: its fields as read, then as the table orders them.
    std::vector<QByteArrayView> scratch(columnAt_.size() + std::size_t(schemaOf(table_).columns.size()));
    for (int row = first; row < first + count; ++row) {
        const std::optional<ParsedTable::PlainRow> plain = file.plainRow(row);
        if (!plain || !quotedAsWritten(file, row, plain->quoted)) {
            flush();
            QByteArrayView* read = scratch.data();
            QByteArrayView* fields = read + columnAt_.size();
            file.rawRow(row, read);
            for (std::size_t p = 0; p < columnAt_.size(); ++p) {
                fields[columnAt_[p]] = read[p];
            }
            addStored(fields);
            continue;
        }
        if (runRows > 0 && runStart + runSize == plain->line.data()) {
            runSize += plain->line.size();
            ++runRows;
            continue;
        }
        flush();
        runStart = plain->line.data();
        runSize = plain->line.size();
        runRows = 1;
    }
    flush();
}

void TableWriter::addCopied(QByteArrayView lines, int rows) {
    const qsizetype at = used_;
    if (used_ + lines.size() > out_.capacity()) {
        out_.reserve(std::max(out_.capacity() * 2, used_ + lines.size()));
    }
    out_.append(lines);
    used_ = out_.size();
    rowCount_ += rows;
    if (!copied_.empty() && copied_.back().end == at) {
        copied_.back().end = used_;
        copied_.back().rows += rows;
    } else {
        copied_.push_back(Copied{at, used_, rows, writtenRows_});
    }
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

}  // namespace tsumiki
