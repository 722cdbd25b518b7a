#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>
#include <vector>

namespace tsumiki {

class TableStore;

// What the clock checks need of a row still as loaded: worked out once when the editor loads, so that a save of a
// large table reads again only the rows edited or added since.
struct LoadedRowFacts {
    quint32 keyHash;
    unsigned char note;
};

// The data rows of an editor's grid as the save checks read them: rows 1 … rowCount(), grid columns from 1.
class EditorRows {
public:
    virtual ~EditorRows() = default;
    virtual int rowCount() const = 0;
    virtual QString cell(int row, int col) const = 0;
    // Whether the column shows the stored value as it is (no mapping between stored and shown).
    virtual bool showsStoredBytes(int col) const {
        Q_UNUSED(col);
        return false;
    }
    // For a row still exactly as loaded: true, with stored[col] set for every column of the edited table to the
    // stored value's bytes in the file's encoding (empty for Null), so that a large table is checked without
    // decoding it; in a mapped column the shown text is a function of those bytes. The row's cells in mapped columns
    // then hold one of the mapping's texts, which the checks of those columns allow by construction. False for a row
    // that was edited or added.
    virtual bool storedRow(int row, QByteArrayView* stored) const {
        Q_UNUSED(row);
        Q_UNUSED(stored);
        return false;
    }
    // For a row still exactly as loaded, its facts when the editor worked them out at load; null otherwise.
    virtual const LoadedRowFacts* loadedFacts(int row) const {
        Q_UNUSED(row);
        return nullptr;
    }
};

// Each returns the message of the first check that fails, in the editor's order, or none. Message texts are
// looked up in the message table when a check fails. Every check is one pass (keys are compared through a
// hash), so a clock table of some hundred thousand rows is checked at once.
std::optional<QString> checkUniqueKeys(const EditorRows& rows, const TableStore& store);
std::optional<QString> checkUsers(const EditorRows& rows, const TableStore& store);
std::optional<QString> checkClockRows(const EditorRows& rows, const TableStore& store);
// The facts checkClockRows takes of rows as loaded, for rows 1 … rowCount() of `loaded`, every one as loaded.
std::vector<LoadedRowFacts> clockRowFacts(const EditorRows& loaded);

// A unit price cell as the user table stores it: empty stays empty; a whole number from 0 up, typed with or
// without thousands separators, becomes plain digits. None for anything else, and for numbers beyond what the
// price lookup reads (32 bits), which would otherwise read back as a price of 0.
std::optional<QString> storedPrice(const QString& cell);
// A stored price as the grid shows it: a number with thousands separators, anything else as stored.
QString shownPrice(const QString& stored);

}  // namespace tsumiki
