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

    // Whether `file`'s header names this writer's columns in its order, so that addRowsOf can take its rows.
    bool takesRowsOf(const ParsedTable& file) const;
    // Rows first … first + count - 1 of `file`, as they read there. A row's line is copied as it lies when the
    // writer would write the row alike (quoted the same way, CR LF), which is what an unchanged row of a file this
    // writer wrote looks like; any other row is written field by field. checkReadsBack then parses only the rows
    // written field by field: a copied line reads back in the new file as it did in `file`. Requires
    // takesRowsOf(file).
    void addRowsOf(const ParsedTable& file, int first, int count);

    int rowCount() const { return rowCount_; }
    // The header line and every row, each line ended by CR LF.
    const QByteArray& bytes() const { return out_; }
    // The rows alone.
    QByteArrayView rows() const { return QByteArrayView(out_).sliced(rowsStart_); }

    // Reads bytes() exactly as a read of the file at `path` would, and compares every row with what was added.
    // A file that a read would refuse, or that would give back other rows, is refused with WouldNotReadBack.
    // Lines copied by addRowsOf are not parsed again; their bytes still count in the decision of the encoding.
    WriteResult checkReadsBack(const QString& path) const;

private:
    void beginRow(qsizetype room);
    void writeField(int position, QByteArrayView value);
    bool quotedAsWritten(const ParsedTable& file, int row, quint64 quoted) const;
    void addCopied(QByteArrayView lines, int rows);

    Table table_;
    QByteArray out_;
    qsizetype used_ = 0;
    qsizetype rowsStart_ = 0;
    int rowCount_ = 0;
    // By position in the written header: the table's column written there, or -1, and its quoting.
    std::vector<int> columnAt_;
    std::vector<char> alwaysQuoted_;
    // Runs of lines copied by addRowsOf: where they lie, how many rows, and how many rows were written field by
    // field before them.
    struct Copied {
        qsizetype start;
        qsizetype end;
        int rows;
        int writtenBefore;
    };
    std::vector<Copied> copied_;
    int writtenRows_ = 0;
    // Where each value written field by field lies in the bytes (without its quotes), row by row, for
    // checkReadsBack. A value whose quotes were doubled is kept as it reads instead.
    static constexpr quint32 kDoubled = 0xFFFFFFFFU;
    std::vector<quint32> valueStart_;
    std::vector<quint32> valueEnd_;
    std::unordered_map<size_t, QByteArray> doubled_;
};

}  // namespace tsumiki
