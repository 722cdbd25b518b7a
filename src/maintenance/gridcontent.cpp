#include "maintenance/gridcontent.h"

#include <algorithm>

#include "store/cp932.h"
#include "ui/grid/grid.h"

namespace tsumiki {
namespace {

// The records of a source as the checks read a grid that shows every one as loaded.
class SourceRows final : public EditorRows {
public:
    explicit SourceRows(const RecordSource& source) : source_(source) {}
    int rowCount() const override { return source_.count(); }
    QString cell(int row, int col) const override { return source_.text(row - 1, col); }
    bool showsStoredBytes(int col) const override { return source_.writesRawBytes(col); }
    bool storedRow(int row, QByteArrayView* stored) const override {
        source_.rawRow(row - 1, stored);
        return true;
    }

private:
    const RecordSource& source_;
};

}  // namespace

std::vector<LoadedRowFacts> factsOfLoaded(const EditorTable& editor, const RecordSource& source) {
    return editor.loadedFacts ? editor.loadedFacts(SourceRows(source)) : std::vector<LoadedRowFacts>();
}

int GridRows::rowCount() const {
    return grid_.rows() - 1;
}

QString GridRows::cell(int row, int col) const {
    return grid_.textMatrix(row, col);
}

bool GridRows::showsStoredBytes(int col) const {
    return source_.writesRawBytes(col);
}

bool GridRows::storedRow(int row, QByteArrayView* stored) const {
    const int sourceRow = grid_.sourceRowOf(row);
    if (sourceRow < 0) {
        return false;
    }
    source_.rawRow(sourceRow, stored);
    return true;
}

const LoadedRowFacts* GridRows::loadedFacts(int row) const {
    const int sourceRow = grid_.sourceRowOf(row);
    return sourceRow < 0 || facts_.empty() ? nullptr : &facts_[std::size_t(sourceRow)];
}

std::variant<TableWriter, QString> GridRows::content(const QByteArray& kept) const {
    const TableSchema& schema = schemaOf(editor_.table);
    // The grid column of each field of the file, or -1 for a field no column writes.
    std::vector<int> gridCol(std::size_t(schema.columns.size()), -1);
    for (std::size_t c = 0; c < editor_.columns.size(); ++c) {
        const EditorColumn& column = editor_.columns[c];
        const qsizetype field = schema.columns.indexOf(QString::fromUtf16(column.field), 0);
        if (!column.fromUsers && field >= 0) {
            gridCol[std::size_t(field)] = int(c) + 1;
        }
    }
    // Mapped columns of unchanged records take few distinct stored values; each is worked out once.
    std::vector<ByStoredValue<QByteArray>> mapped(gridCol.size());
    TableWriter writer(editor_.table);
    // Rows as loaded are mostly written as they were read, with their quotes: a little more than the file.
    writer.reserve(rowCount() + 16, source_.records().table->bytes().size() * 9 / 8 + 4096);
    std::vector<QByteArrayView> fields(gridCol.size());
    std::vector<QByteArrayView> stored(editor_.columns.size() + 1);
    std::vector<char> asStored(gridCol.size());
    std::vector<std::size_t> mappedFields;
    for (std::size_t f = 0; f < gridCol.size(); ++f) {
        asStored[f] = gridCol[f] > 0 && source_.writesRawBytes(gridCol[f]);
        if (gridCol[f] > 0 && !asStored[f]) {
            mappedFields.push_back(f);
        }
    }
    const ParsedTable& loaded = *source_.records().table;
    auto writtenMapped = [&](std::size_t f, int sourceRow, QByteArrayView storedValue) -> const QByteArray& {
        const EditorColumn& column = editor_.columns[std::size_t(gridCol[f]) - 1];
        return mapped[f].get(storedValue,
                             [&] { return cp932::encode(column.written(source_.text(sourceRow, gridCol[f]))).bytes; });
    };
    // A row as loaded keeps its line when every field of the file is a column of the grid and its mapped values
    // are written back as they are stored (a 0 is written for an empty 同伴, so such a row is written anew).
    const bool copiesLines =
        writer.takesRowsOf(loaded) && std::all_of(gridCol.begin(), gridCol.end(), [](int col) { return col > 0; });
    std::vector<ByStoredValue<char>> writtenAsStored(gridCol.size());
    auto keepsLine = [&](int sourceRow, int tableRow) {
        return copiesLines && std::all_of(mappedFields.begin(), mappedFields.end(), [&](std::size_t f) {
                   const QByteArrayView value = loaded.raw(tableRow, int(f));
                   return writtenAsStored[f].get(value,
                                                 [&] { return char(writtenMapped(f, sourceRow, value) == value); });
               });
    };
    // Rows kept whole that follow each other in the file go to the writer together.
    int runFirst = 0;
    int runCount = 0;
    auto flushRun = [&] {
        if (runCount > 0) {
            writer.addRowsOf(loaded, runFirst, runCount);
        }
        runCount = 0;
    };
    const int rows = rowCount();
    for (int row = 1; row <= rows; ++row) {
        const int sourceRow = grid_.sourceRowOf(row);
        const int tableRow = sourceRow < 0 ? -1 : source_.records().rows[std::size_t(sourceRow)];
        if (sourceRow >= 0 && keepsLine(sourceRow, tableRow)) {
            if (runCount > 0 && runFirst + runCount == tableRow) {
                ++runCount;
            } else {
                flushRun();
                runFirst = tableRow;
                runCount = 1;
            }
            continue;
        }
        flushRun();
        if (sourceRow < 0) {
            QList<Value> values;
            for (const int col : gridCol) {
                const auto written = col < 0 ? nullptr : editor_.columns[std::size_t(col) - 1].written;
                const QString text = col < 0 ? QString() : cell(row, col);
                values.append(written ? written(text) : text);
            }
            if (const auto refused = writer.addValues(values)) {
                const EditorColumn& column = editor_.columns[std::size_t(gridCol[std::size_t(refused->column)]) - 1];
                return QStringLiteral(
                           "%1行目の「%2」にある文字%3はファイルに保存できません。"
                           "別の文字に置き換えてから登録してください。")
                    .arg(row)
                    .arg(QString::fromUtf16(column.caption), refused->character);
            }
            continue;
        }
        source_.rawRow(sourceRow, stored.data());
        for (std::size_t f = 0; f < gridCol.size(); ++f) {
            const int col = gridCol[f];
            if (col < 0) {
                fields[f] = {};
            } else if (asStored[f]) {
                fields[f] = stored[std::size_t(col)];
            } else {
                fields[f] = writtenMapped(f, sourceRow, stored[std::size_t(col)]);
            }
        }
        writer.addStored(fields.data());
    }
    flushRun();
    if (!kept.isEmpty()) {
        const ParsedTable keptRows = ParsedTable::parse(TableWriter(editor_.table).bytes() + kept);
        writer.addRowsOf(keptRows, 0, keptRows.rowCount());
    }
    return writer;
}

}  // namespace tsumiki
