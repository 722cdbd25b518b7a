#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

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

}  // namespace tsumiki
