#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

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

// One table file parsed: the header and the fields of every row, kept as spans of the decoded text so that
// a large clock table costs no string per field until a caller asks for one.
class ParsedTable {
public:
    static ParsedTable parse(QString text);

    int rowCount() const { return rowCount_; }
    const QStringList& header() const { return header_; }
    // Index of the column with that name, letter case ignored; -1 when the header has no such column.
    int column(QStringView name) const;

    // The field as a view; empty for Null and for a column index of -1.
    QStringView view(int row, int column) const;
    Value value(int row, int column) const;
    bool isNull(int row, int column) const { return view(row, column).isEmpty(); }

private:
    struct Field {
        // Offset into the text, or for a field whose quotes had to be undoubled, -(index into unescaped_ + 1).
        qint32 offset = 0;
        qint32 length = 0;
    };
    QString text_;
    QStringList header_;
    QStringList unescaped_;
    std::vector<Field> fields_;
    int columnCount_ = 0;
    int rowCount_ = 0;
};

using TablePtr = std::shared_ptr<const ParsedTable>;

// One row of a query result. It keeps its table alive.
class Record {
public:
    Record(TablePtr table, int row) : table_(std::move(table)), row_(row) {}
    Value value(QStringView column) const { return table_->value(row_, table_->column(column)); }
    QStringView view(QStringView column) const { return table_->view(row_, table_->column(column)); }
    const ParsedTable& table() const { return *table_; }
    int row() const { return row_; }

private:
    TablePtr table_;
    int row_;
};

// The written form of one row: fields in header order, separated by commas, quoted as the schema and the
// values require. No line end.
QString formatRow(const TableSchema& schema, const QList<Value>& values);

}  // namespace tsumiki
