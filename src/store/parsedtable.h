#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include "store/schema.h"

namespace tsumiki {

// One table file parsed: the header and the fields of every row, kept as spans of the file's own code page
// 932 bytes. Structural characters (comma, quote, CR, LF) never occur inside a double-byte character, so the
// bytes split exactly as the text would; a field is decoded only when a caller asks for its value, and keys
// are compared as encoded bytes, so a large clock table costs no string per field.
//
// Reading rules: a field enclosed in double quotes may hold commas and line ends, and a doubled quote in it is
// one quote. After the closing quote, anything up to the next comma or line end still belongs to the field
// (a hand-edited `"abc"def` is the value abc"def), and the line end ends the row, so a stray quote never
// swallows the rows after it. A quoted field that is never closed runs to the end of the bytes.
class ParsedTable {
public:
    // The bytes must be valid code page 932 (TableStore checks before parsing) and shorter than 2 GiB.
    static ParsedTable parse(QByteArray bytes);
    // For tests and tools: the text is encoded first; it must be representable.
    static ParsedTable parseText(const QString& text);

    // Where the bytes stop: after a line end, inside a last line that has no line end, or inside a quoted
    // field that was never closed (a file cut short).
    enum class Ending { LineEnd, OpenLine, OpenQuote };
    Ending ending() const { return ending_; }

    // Exactly the bytes this table was parsed from.
    const QByteArray& bytes() const { return bytes_; }
    // True when this table's bytes are `earlier`'s bytes followed by nothing or by whole new rows, so that
    // `earlier`'s rows are this table's first earlier.rowCount() rows, unchanged, and any further rows were
    // added after them (for instance by appends since `earlier` was read).
    bool grewFrom(const ParsedTable& earlier) const;
    // Adds rows parsed from `more`, which continues the bytes. Only the new rows are parsed when the bytes end
    // with a line end; otherwise the whole table is parsed again.
    void extend(QByteArrayView more);

    int rowCount() const { return rowCount_; }
    const QStringList& header() const { return header_; }
    // Where the header line ends (before its line end): bytes().left(headerEnd()) is the header as written.
    qsizetype headerEnd() const { return headerEnd_; }
    // Index of the column with that name, letter case ignored; -1 when the header has no such column.
    int column(QStringView name) const;

    // The field's bytes; empty for Null and for a column index of -1.
    QByteArrayView raw(int row, int column) const;
    // raw() of every column of the row, into fields[0 … columnCount() - 1]: one pass over the row.
    void rawRow(int row, QByteArrayView* fields) const;
    int columnCount() const { return columnCount_; }
    // The row as it lies in the bytes, from its first byte through its CR LF, and which of its fields are enclosed
    // in double quotes (bit c for column c); none when the row is more than its fields: a value with doubled
    // quotes or text after its closing quote, fields missing or beyond the header, another line end, or more
    // than 64 columns.
    struct PlainRow {
        QByteArrayView line;
        quint64 quoted;
    };
    std::optional<PlainRow> plainRow(int row) const;
    Value value(int row, int column) const;
    bool isNull(int row, int column) const { return raw(row, column).isEmpty(); }

private:
    void parseRows(qsizetype from);

    // A field is the bytes from its start (the row's start, or one past the previous field's end) to its end.
    // Fields whose value is not simply those bytes, or those bytes without the enclosing quotes, carry the flag
    // and keep their value in special_.
    static constexpr quint32 kSpecial = 0x80000000U;
    QByteArray bytes_;
    QStringList header_;
    std::vector<quint32> rowStarts_;
    std::vector<quint32> fieldEnds_;
    std::unordered_map<size_t, QByteArray> special_;
    qsizetype headerEnd_ = 0;
    int columnCount_ = 0;
    int rowCount_ = 0;
    Ending ending_ = Ending::LineEnd;
};

using TablePtr = std::shared_ptr<const ParsedTable>;

// One row of a query result. It keeps its table alive.
class Record {
public:
    Record(TablePtr table, int row) : table_(std::move(table)), row_(row) {}
    Value value(QStringView column) const { return table_->value(row_, table_->column(column)); }
    const ParsedTable& table() const { return *table_; }
    int row() const { return row_; }

private:
    TablePtr table_;
    int row_;
};

// A key in the files' encoding, for comparing with raw fields; Null when the text cannot be encoded (it then
// matches no stored value).
std::optional<QByteArray> encodedKey(QStringView text);

}  // namespace tsumiki
