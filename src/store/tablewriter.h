#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>
#include <unordered_map>
#include <vector>

#include "store/parsedtable.h"
#include "store/writeerror.h"

namespace tsumiki {

// The one writer of table files: header and rows in, the file's bytes out. A field holding a comma, a double
// quote, CR or LF is enclosed in double quotes with its quotes doubled, so a read gives back exactly what was
// written; any other field keeps the table's historical quoting (always quoted, or bare), so the files stay
// readable by the other tools that read them. Code page 932 never uses those four bytes inside a double-byte
// character, so fields are written as bytes.
class TableWriter {
public:
    // A whole file: the table's own header, then the rows.
    explicit TableWriter(Table table);
    // Rows for the end of an existing file, laid out under that file's header whatever its order; a column the
    // table does not know stays empty.
    TableWriter(Table table, const ParsedTable& file);

    // Room for that many rows and bytes, so a large table is written without growing its buffers.
    void reserve(int rows, qsizetype bytes);

    // A row of stored bytes (code page 932; empty for Null), one field per column of the table, in its order.
    void addStored(const QByteArrayView* fields);

    // A row of values, one per column of the table, in its order (missing ones are Null). When a value holds a
    // character the code page cannot carry, nothing of the row is written and the result names the column and the
    // character.
    struct Unencodable {
        int column;
        QString character;
    };
    std::optional<Unencodable> addValues(const QList<Value>& values);

    int rowCount() const { return rowCount_; }
    // The header line and every row, each line ended by CR LF.
    const QByteArray& bytes() const { return out_; }
    // The rows alone.
    QByteArrayView rows() const { return QByteArrayView(out_).sliced(rowsStart_); }

    // Reads bytes() exactly as a read of the file at `path` would, and compares every row with what was added.
    // A file that a read would refuse, or that would give back other rows, is refused with WouldNotReadBack.
    WriteResult checkReadsBack(const QString& path) const;

private:
    void beginRow(qsizetype room);
    void writeField(int position, QByteArrayView value);

    Table table_;
    QByteArray out_;
    qsizetype used_ = 0;
    qsizetype rowsStart_ = 0;
    int rowCount_ = 0;
    // By position in the written header: the table's column written there, or -1, and its quoting.
    std::vector<int> columnAt_;
    std::vector<char> alwaysQuoted_;
    // Where each written value lies in the bytes (without its quotes), row by row, for checkReadsBack. A value
    // whose quotes were doubled is kept as it reads instead.
    std::vector<quint32> valueStart_;
    std::vector<quint32> valueEnd_;
    std::unordered_map<size_t, QByteArray> doubled_;
};

}  // namespace tsumiki
