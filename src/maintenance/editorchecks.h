#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

namespace tsumiki {

class TableStore;

// The data rows of an editor's grid as the save checks read them: rows 1 … rowCount(), grid columns from 1.
class EditorRows {
public:
    virtual ~EditorRows() = default;
    virtual int rowCount() const = 0;
    virtual QString cell(int row, int col) const = 0;
    // For a row still exactly as loaded, in a column that shows the stored value as it is: the value's bytes in
    // the file's encoding (empty for Null), so that a large table can be checked without decoding it. None for
    // any other cell.
    virtual std::optional<QByteArrayView> storedBytes(int row, int col) const {
        Q_UNUSED(row);
        Q_UNUSED(col);
        return std::nullopt;
    }
    // Whether the row is still exactly as loaded. Its cells in columns shown through a mapping then hold one of
    // the mapping's texts, which the checks of those columns allow by construction.
    virtual bool isUnchanged(int row) const {
        Q_UNUSED(row);
        return false;
    }
};

// Each returns the message of the first check that fails, in the editor's order, or none. Message texts are
// looked up in the message table when a check fails. Every check is one pass (keys are compared through a
// hash), so a clock table of some hundred thousand rows is checked at once.
std::optional<QString> checkUniqueKeys(const EditorRows& rows, const TableStore& store);
std::optional<QString> checkUsers(const EditorRows& rows, const TableStore& store);
std::optional<QString> checkClockRows(const EditorRows& rows, const TableStore& store);

// A unit price cell as the user table stores it: empty stays empty; a whole number from 0 up, typed with or
// without thousands separators, becomes plain digits. None for anything else, and for numbers beyond what the
// price lookup reads (32 bits), which would otherwise read back as a price of 0.
std::optional<QString> storedPrice(const QString& cell);
// A stored price as the grid shows it: a number with thousands separators, anything else as stored.
QString shownPrice(const QString& stored);

}  // namespace tsumiki
