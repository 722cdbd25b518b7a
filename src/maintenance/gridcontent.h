#pragma once

#include <QByteArray>
#include <QString>

#include <variant>

#include "maintenance/editorchecks.h"
#include "maintenance/editortable.h"
#include "store/tablewriter.h"

namespace tsumiki {

class Grid;

// The editor's loadedFacts of every record as loaded, in load order; empty when its checks take none.
std::vector<LoadedRowFacts> factsOfLoaded(const EditorTable& editor, const RecordSource& source);

// An editor's grid as its save reads it: the cells for the checks, and the rows for the file.
class GridRows final : public EditorRows {
public:
    GridRows(const EditorTable& editor, const Grid& grid, const RecordSource& source,
             const std::vector<LoadedRowFacts>& facts)
        : editor_(editor), grid_(grid), source_(source), facts_(facts) {}

    int rowCount() const override;
    QString cell(int row, int col) const override;
    bool showsStoredBytes(int col) const override;
    bool storedRow(int row, QByteArrayView* stored) const override;
    const LoadedRowFacts* loadedFacts(int row) const override;

    // The file content: one row per data row, a row still as loaded from its stored bytes (its line copied whole
    // where the writer would write it alike), an edited one from its cells through the columns' written forms;
    // then the rows of `kept` (lines of the table, as written).
    // Otherwise the message naming the first cell holding a character the file cannot carry.
    std::variant<TableWriter, QString> content(const QByteArray& kept) const;

private:
    const EditorTable& editor_;
    const Grid& grid_;
    const RecordSource& source_;
    const std::vector<LoadedRowFacts>& facts_;
};

}  // namespace tsumiki
