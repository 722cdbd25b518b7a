#include "maintenance/editortable.h"

#include <algorithm>

#include "store/cp932.h"
#include "store/queries.h"
#include "store/tablestore.h"

namespace tsumiki {
LoadedRecords loadByKey(const TableStore& store, Table table) {
    LoadedRecords loaded;
    loaded.table = store.read(table);
    for (const Record& record : AllRowsByKey(loaded.table)) {
        if (!loaded.table->isNull(record.row(), 0)) {
            loaded.rows.push_back(record.row());
        }
    }
    loaded.userRows.assign(loaded.rows.size(), -1);
    return loaded;
}

RecordSource::RecordSource(const EditorTable& editor, LoadedRecords records)
    : editor_(editor), records_(std::move(records)) {
    fieldIndex_.assign(editor_.columns.size() + 1, -1);
    shownByStored_.resize(editor_.columns.size() + 1);
    for (std::size_t c = 0; c < editor_.columns.size(); ++c) {
        const EditorColumn& column = editor_.columns[c];
        const TablePtr& table = column.fromUsers ? records_.users : records_.table;
        fieldIndex_[c + 1] = table ? table->column(QStringView(column.field)) : -1;
        if (!column.fromUsers) {
            tableColumns_.push_back(int(c) + 1);
        }
        if (!column.shown && !column.fromUsers) {
            rawColumns_.push_back(int(c) + 1);
        }
    }
}

void RecordSource::rawRow(int sourceRow, QByteArrayView* stored) const {
    rowScratch_.resize(std::size_t(records_.table->columnCount()));
    records_.table->rawRow(records_.rows[std::size_t(sourceRow)], rowScratch_.data());
    for (const int col : tableColumns_) {
        const int field = fieldIndex_[std::size_t(col)];
        stored[col] = field < 0 ? QByteArrayView() : rowScratch_[std::size_t(field)];
    }
}

QByteArrayView RecordSource::raw(int sourceRow, int col) const {
    if (col < 1 || std::size_t(col) >= fieldIndex_.size()) {
        return {};
    }
    const EditorColumn& column = editor_.columns[std::size_t(col) - 1];
    const int row =
        column.fromUsers ? records_.userRows[std::size_t(sourceRow)] : records_.rows[std::size_t(sourceRow)];
    const TablePtr& table = column.fromUsers ? records_.users : records_.table;
    return row < 0 || !table ? QByteArrayView() : table->raw(row, fieldIndex_[std::size_t(col)]);
}

bool RecordSource::writesRawBytes(int col) const {
    return std::find(rawColumns_.begin(), rawColumns_.end(), col) != rawColumns_.end();
}

QString RecordSource::text(int sourceRow, int col) const {
    if (col < 1 || std::size_t(col) >= fieldIndex_.size()) {
        return {};
    }
    const QByteArrayView bytes = raw(sourceRow, col);
    const EditorColumn& column = editor_.columns[std::size_t(col) - 1];
    if (!column.shown) {
        return bytes.isEmpty() ? QString() : cp932::decode(bytes).text;
    }
    return shownByStored_[std::size_t(col)].get(
        bytes, [&] { return column.shown(bytes.isEmpty() ? Value() : Value(cp932::decode(bytes).text)); });
}

}  // namespace tsumiki
