#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QString>
#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace tsumiki {

// Rows whose texts live elsewhere (a parsed table file) and are made only when a cell is shown or read, so that
// a grid over a few hundred thousand rows holds one number per row instead of one string per cell.
class CellSource {
public:
    virtual ~CellSource() = default;
    // The text of the source's row in grid column col (a data column).
    virtual QString text(int sourceRow, int col) const = 0;
};

// The cells of a Grid. Addresses given to the grid-level functions (rows(), text(), setText()…) count from 0 and
// include the fixed row and column; the QAbstractItemModel side shows only the data cells and hands the fixed
// row and column to the views as header data, so the user can never select them.
//
// Texts live in one vector of fixed-size row blocks (no object per cell) and colours in a sparse map, so a table
// of a few hundred thousand rows costs little more than its strings. A row names its block through a slot
// number: removing a row moves the slot numbers below it, not their texts, and the emptied block is reused by
// the next row added.
class GridModel final : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit GridModel(QObject* parent = nullptr);

    int rows() const { return rows_; }
    int cols() const { return cols_; }
    int fixedRows() const { return fixedRows_; }
    int fixedCols() const { return fixedCols_; }

    // Growing appends empty rows (columns) at the end, shrinking cuts from the end. Refused (false, nothing
    // changes) below the fixed count or below zero.
    bool setRows(int rows);
    bool setCols(int cols);
    // 0 or 1, and never more than the rows (columns) there are.
    bool setFixedRows(int fixed);
    bool setFixedCols(int fixed);

    bool contains(int row, int col) const { return row >= 0 && row < rows_ && col >= 0 && col < cols_; }
    bool isDataCell(int row, int col) const { return contains(row, col) && row >= fixedRows_ && col >= fixedCols_; }

    // Empty text outside the grid.
    QString text(int row, int col) const;
    // False (nothing changes) outside the grid.
    bool setText(int row, int col, const QString& text);

    // An invalid colour means the cell has none of its own and is drawn in the view's base colour.
    QColor backColor(int row, int col) const;
    bool setBackColor(int row, int col, const QColor& color);

    // Columns whose alignment was never set draw data left-aligned and headers as the style does.
    Qt::Alignment colAlignment(int col) const;
    bool setColAlignment(int col, Qt::Alignment alignment);

    // Appends `count` data rows showing rows 0 … count-1 of the source. Such a row shows its position as its
    // number in the fixed column; setting any cell of it gives it texts of its own, and it then behaves like any
    // other row. Refused (false) without a fixed row or while rows of another source are shown.
    bool appendSourceRows(std::shared_ptr<const CellSource> source, int count);
    // The source row a grid row still shows unchanged, or -1.
    int sourceRowOf(int row) const {
        return row >= 0 && row < rows_ && rowSlots_[std::size_t(row)] < 0 ? -rowSlots_[std::size_t(row)] - 1 : -1;
    }
    const CellSource* source() const { return source_.get(); }

    // Writes every data row's position into the fixed column, as one change.
    void renumber();

    // Removes count data rows from row on; the rows below (texts and colours) move up. Refused (false, nothing
    // changes) when a row is fixed or outside the grid, or when no data row would be left.
    bool removeItems(int row, int count);

    // Between beginBatch() and the matching endBatch() the model tells its views nothing cell by cell; the
    // outermost endBatch() resets them once. Calls nest.
    void beginBatch();
    void endBatch();
    bool inBatch() const { return batchDepth_ > 0; }

    QModelIndex indexOf(int row, int col) const;
    int gridRow(const QModelIndex& index) const { return index.row() + fixedRows_; }
    int gridCol(const QModelIndex& index) const { return index.column() + fixedCols_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    // What the view shows of one cell, as data or as a header section.
    QVariant cellData(int row, int col, int role) const;
    using CellKey = std::pair<int, int>;  // (row, col), ordered by row first so rows can be shifted as a range

    bool isSourceRow(int row) const { return rowSlots_[std::size_t(row)] < 0; }
    QString sourceText(int row, int col) const;
    void materialize(int row);
    std::size_t offset(int row, int col) const {
        return std::size_t(rowSlots_[std::size_t(row)]) * std::size_t(cols_) + std::size_t(col);
    }
    void appendRows(int count);
    void releaseRows(int first, int count);
    void compact(int cols);
    void notifyCellChanged(int row, int col, int role);
    void deferRowHeaderChange(int section);
    void flushRowHeaderChanges();
    void dropColorsFromRow(int firstRow);
    void dropColorsFromCol(int firstCol);
    void resetFixed(int fixedRows, int fixedCols);

    int rows_ = 0;
    int cols_ = 0;
    int fixedRows_ = 0;
    int fixedCols_ = 0;
    int batchDepth_ = 0;
    std::pair<int, int> pendingRowHeaders_{-1, -1};  // first and last row header section not yet told
    std::vector<QString> cells_;                     // slots_ blocks of cols_ texts
    std::vector<int> rowSlots_;                      // by grid row; -(source row + 1) for a source row
    std::vector<int> freeSlots_;                     // emptied blocks
    int slots_ = 0;
    std::shared_ptr<const CellSource> source_;
    std::map<CellKey, QColor> colors_;
    std::vector<std::optional<Qt::Alignment>> alignments_;
};

}  // namespace tsumiki
