#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace tsumiki {

// A stored value: every value is text, and an empty field is Null rather than empty text.
using Value = std::optional<QString>;

enum class Table { Control, User, Message, Clock };

struct TableSchema {
    QString fileName;
    QStringList columns;
    // Whether the written form encloses the column in double quotes even when the value needs no quoting.
    // Values holding a comma, a double quote, CR or LF are always quoted, with the quote doubled.
    QList<bool> alwaysQuoted;
};
const TableSchema& schemaOf(Table table);

// One table file parsed: the header and the fields of every row, kept as spans of the file's own code page
// 932 bytes. Structural characters (comma, quote, CR, LF) never occur inside a double-byte character, so the
// bytes split exactly as the text would; a field is decoded only when a caller asks for its value, and keys
// are compared as encoded bytes, so a large clock table costs no string per field.
class ParsedTable {
public:
    // The bytes must be valid code page 932 (TableStore checks before parsing).
    static ParsedTable parse(QByteArray bytes);
    // For tests and tools: the text is encoded first; it must be representable.
    static ParsedTable parseText(const QString& text);

    int rowCount() const { return rowCount_; }
    const QByteArray& bytes() const { return bytes_; }
    const QStringList& header() const { return header_; }
    // Index of the column with that name, letter case ignored; -1 when the header has no such column.
    int column(QStringView name) const;

    // The field's bytes; empty for Null and for a column index of -1.
    QByteArrayView raw(int row, int column) const;
    Value value(int row, int column) const;
    bool isNull(int row, int column) const { return raw(row, column).isEmpty(); }

    // A value derived from this table, computed once per key and kept as long as the table: a parsed table never
    // changes, and a changed file is parsed into a new one, so what is kept here is never stale.
    template <typename T>
    std::shared_ptr<const T> derived(const QString& key, const std::function<std::shared_ptr<const T>()>& make) const {
        auto it = derived_.find(key);
        if (it == derived_.end()) {
            it = derived_.emplace(key, make()).first;
        }
        return std::static_pointer_cast<const T>(it->second);
    }

private:
    struct Field {
        // Offset into the bytes, or for a field whose quotes had to be undoubled, -(index into unescaped_ + 1).
        qint32 offset = 0;
        qint32 length = 0;
    };
    QByteArray bytes_;
    QStringList header_;
    QList<QByteArray> unescaped_;
    std::vector<Field> fields_;
    int columnCount_ = 0;
    int rowCount_ = 0;
    mutable std::map<QString, std::shared_ptr<const void>> derived_;
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

// The written form of one row: fields in header order, separated by commas, quoted as the schema and the
// values require. No line end.
QString formatRow(const TableSchema& schema, const QList<Value>& values);

}  // namespace tsumiki
