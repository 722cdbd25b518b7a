#pragma once

#include <QByteArray>

#include <memory>
#include <optional>

#include "maintenance/editortable.h"
#include "ui/screen.h"

class QLineEdit;
class QPushButton;

namespace tsumiki {

class Grid;

// The grid table editor: one table file in a grid, edited cell by cell from the grid's key notifications, rows
// added at the end and deleted by number, saved by rewriting the whole file. What differs between the four
// tables is their EditorTable; this frame holds no table of its own besides the grid.
class TableEditor : public Screen {
    Q_OBJECT

public:
    TableEditor(AppContext& context, const EditorTable& table, QWidget* parent = nullptr);

protected:
    // Fills the grid from the table file; runs at each opening.
    void load() override;

private:
    void buildControls();
    void onKeyDown(int key, Qt::KeyboardModifiers modifiers);
    void onKeyPress(const QString& character);
    void setCurrentText(const QString& text);
    void addRow();
    void deleteRow();
    void deleteRange();
    // Removes data rows first … last, keeping one (empty) data row when all of them go, then renumbers.
    void removeRows(int first, int last);
    void save();
    // The row number typed into a delete box, when it is a whole number from 1 to the number of data rows.
    std::optional<int> rowNumber(const QString& text) const;
    int dataRows() const;

    const EditorTable& table_;
    Grid* grid_ = nullptr;
    QLineEdit* deleteFrom_ = nullptr;
    QLineEdit* deleteTo_ = nullptr;
    std::shared_ptr<const RecordSource> source_;
    // What the save's checks learned of the records as loaded; it holds for every save until the next load.
    std::vector<LoadedRowFacts> loadedFacts_;
    // The file's bytes the grid was filled from (after a save: the bytes written), and the rows found appended
    // behind them by earlier saves (lines of the table), which every later save writes again.
    QByteArray loadedBytes_;
    QByteArray keptRows_;
};

}  // namespace tsumiki
