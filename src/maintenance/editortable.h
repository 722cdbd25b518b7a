#pragma once

#include <QHash>
#include <QLatin1String>
#include <QString>

#include <array>
#include <optional>
#include <vector>

#include "maintenance/bystoredvalue.h"
#include "maintenance/editorchecks.h"
#include "store/table.h"
#include "ui/grid/gridmodel.h"

namespace tsumiki {

class TableStore;

// One column of an editor's grid (grid columns 1 …; column 0 holds the row numbers).
struct EditorColumn {
    const char16_t* caption;
    int twips;
    // The column of the edited table, or with fromUsers of the user table joined to it (shown, never written).
    const char16_t* field;
    bool fromUsers = false;
    // Stored value → shown text; none: as stored, Null as empty.
    QString (*shown)(const Value& stored) = nullptr;
    // Shown text → written value, run after the checks passed; none: as typed.
    QString (*written)(const QString& cell) = nullptr;
};

// The records an editor shows, in load order, as rows of the parsed tables (userRows: the joined user row of
// each, or -1). Records with an empty key are already left out.
struct LoadedRecords {
    TablePtr table;
    TablePtr users;
    std::vector<int> rows;
    std::vector<int> userRows;
};

// Where the tables' editors behave differently.
enum class DeleteBy { Row, Range };
enum class AskToSave { AfterChecks, BeforeChecks };
// An empty table shows one blank data row to type into, or none.
enum class WhenEmpty { BlankRow, NoRow };
// The row current and in view when the editor opens: the first, or the newest (the last in load order).
enum class OpensAt { FirstRow, NewestRow };

// Everything that makes one of the four editors what it is. The frame (TableEditor) does the rest.
struct EditorTable {
    QLatin1String screenName;
    const char16_t* caption;
    Table table;
    int gridTwips;
    std::vector<EditorColumn> columns;
    LoadedRecords (*load)(const TableStore& store);
    std::optional<QString> (*check)(const EditorRows& rows, const TableStore& store);
    // What `check` takes of each row as loaded, worked out once when the editor loads (none: it reads every row at
    // each save).
    std::vector<LoadedRowFacts> (*loadedFacts)(const EditorRows& loaded) = nullptr;
    const char16_t* completionId;
    DeleteBy deleteBy = DeleteBy::Row;
    AskToSave ask = AskToSave::AfterChecks;
    WhenEmpty whenEmpty = WhenEmpty::BlankRow;
    OpensAt opensAt = OpensAt::FirstRow;
};

// The load of the control, message and user tables: every record in the order of its first column, the key.
LoadedRecords loadByKey(const TableStore& store, Table table);

// The texts of loaded records, made when the grid shows or reads a cell.
class RecordSource final : public CellSource {
public:
    RecordSource(const EditorTable& editor, LoadedRecords records);
    QString text(int sourceRow, int col) const override;
    int count() const { return int(records_.rows.size()); }
    const LoadedRecords& records() const { return records_; }
    // The stored bytes of grid column col for that record (empty for Null), and whether the column writes
    // them unchanged (a column of the edited table with no mapping between stored and shown).
    QByteArrayView raw(int sourceRow, int col) const;
    bool writesRawBytes(int col) const;
    // raw() of every column of the edited table (mapped ones included), into stored[col].
    void rawRow(int sourceRow, QByteArrayView* stored) const;

private:
    const EditorTable& editor_;
    LoadedRecords records_;
    std::vector<int> fieldIndex_;                     // by grid column, in the table the column reads
    std::vector<int> tableColumns_;                   // the grid columns of the edited table
    std::vector<int> rawColumns_;                     // those that write their stored bytes
    mutable std::vector<QByteArrayView> rowScratch_;  // the fields of one row of the edited table
    // Mapped columns take few distinct stored values; each is shown once and shared from then on.
    mutable std::vector<ByStoredValue<QString>> shownByStored_;
};

}  // namespace tsumiki
