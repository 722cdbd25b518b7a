#pragma once

#include <QColor>
#include <QString>
#include <QTableView>
#include <vector>

#include "ui/grid/gridmodel.h"

namespace tsumiki {

// Twips (1/1440 inch) to device-independent pixels at the given logical dots per inch.
int twipsToPixels(int twips, int logicalDpi);

// The table of the sheet and editor screens: a rectangle of text cells addressed by (row, col) from 0, the
// fixed row 0 and fixed column 0 included, as the screens address them. The fixed row is drawn as the column
// header and the fixed column as the row header; the user cannot select them.
//
// The grid never edits a cell itself. While it has the focus it reports every key as keyDown() and then each
// typed character (input method commits included) as keyPress(); the editors build their cell editing on
// these. Arrow keys, paging keys and the mouse move the current cell.
//
// A default grid has 2 rows and 4 columns with one fixed row and one fixed column; screens set their own
// shape when they load.
class Grid : public QTableView {
    Q_OBJECT

public:
    explicit Grid(QWidget* parent = nullptr);

    int rows() const { return model_->rows(); }
    bool setRows(int rows);
    int cols() const { return model_->cols(); }
    bool setCols(int cols);
    int fixedRows() const { return model_->fixedRows(); }
    bool setFixedRows(int fixed);
    int fixedCols() const { return model_->fixedCols(); }
    bool setFixedCols(int fixed);

    QString textMatrix(int row, int col) const { return model_->text(row, col); }
    bool setTextMatrix(int row, int col, const QString& text) { return model_->setText(row, col, text); }

    // The current cell. The program may make any cell current, fixed ones included (that is how header texts
    // are written); the user only ever reaches data cells.
    int row() const { return row_; }
    bool setRow(int row);
    int col() const { return col_; }
    bool setCol(int col);
    QString text() const { return model_->text(row_, col_); }
    bool setText(const QString& text) { return model_->setText(row_, col_, text); }

    // The colour stays with its cell: removeItem() moves it up with the row.
    bool setCellBackColor(const QColor& color) { return model_->setBackColor(row_, col_, color); }
    QColor cellBackColor(int row, int col) const { return model_->backColor(row, col); }

    // Width in twips, converted with the widget's logical DPI; 0 hides the column. colWidth() answers the width
    // as set, or for a column never set the width it is drawn with (-1 outside the grid).
    bool setColWidth(int col, int twips);
    int colWidth(int col) const;
    // Applies to the column's data cells and its header alike.
    bool setColAlignment(int col, Qt::Alignment alignment) { return model_->setColAlignment(col, alignment); }
    Qt::Alignment colAlignment(int col) const { return model_->colAlignment(col); }

    // Removes one data row, the rows below move up; refused (false) for a fixed row or the only data row.
    bool removeItem(int row) { return removeItems(row, 1); }
    // The same for count rows from row on, at the cost of one: a range delete of many rows in a long grid.
    bool removeItems(int row, int count);

    // Between beginBatch() and endBatch() (calls nest) changes are not shown one by one; the view is reset once
    // at the end and then shows the current cell. Hold a GridBatch while loading row by row or removing many
    // rows: a grid on screen otherwise measures all its rows again after every row it gains.
    void beginBatch() { model_->beginBatch(); }
    void endBatch() { model_->endBatch(); }

    // Rows shown from a source of texts without a string per cell: see GridModel::appendSourceRows.
    bool appendSourceRows(std::shared_ptr<const CellSource> source, int count);
    int sourceRowOf(int row) const { return model_->sourceRowOf(row); }
    // Column 0 of every data row gets the row's number, as one change however many rows there are.
    void renumber() { model_->renumber(); }

    const GridModel& gridModel() const { return *model_; }

    // Makes each shown column at least as wide as its widest text (header included), leaving wider ones and
    // hidden ones as they are: a width set in twips for the original font can be too narrow for a larger one.
    // Call it outside a batch, after the cells are filled. With sampleRows >= 0 only the first and the last
    // sampleRows data rows are measured (a grid of a few hundred thousand rows), and the fixed column is widened
    // to show the largest row number.
    void widenColumnsToFitText(int sampleRows = -1);

    // The size that shows every column and `dataRows` data rows without scrolling, headers, frame and the
    // vertical scroll bar included: for screens that size themselves to their table.
    QSize sizeForDataRows(int dataRows) const;

signals:
    // Every key pressed while the grid has the focus, before any keyPress() of the same key. Both go to the
    // current cell, which is always a data cell when the user types: a grid without data rows reports no keys.
    void keyDown(int key, Qt::KeyboardModifiers modifiers);
    // One typed character (a surrogate pair stays one character). Control characters such as Backspace
    // ("\b") and Enter ("\r") are delivered too; Ctrl+letter gives its control character, so a shortcut never
    // looks like typed text.
    void keyPress(const QString& character);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    void emitTyped(const QString& text);
    int twipsAsSet(int col) const;
    void widen(int col, int pixels);
    void applyColumnWidths();
    void applyRowHeight();
    void clampCurrent();
    // The user works on data cells only: a fixed cell the program left current gives way to the view's
    // current cell or the first data cell. False when the grid has no data cell.
    bool takeDataCellForUser();
    void showCurrent();

    GridModel* model_;
    QString preedit_;              // the input method's composition, drawn over the current cell
    std::vector<int> widthTwips_;  // by grid column; -1 or missing: the default width
    int row_ = 0;
    int col_ = 0;
    bool movingCurrent_ = false;
};

// Holds a grid in batch mode for the lifetime of the object.
class GridBatch {
public:
    explicit GridBatch(Grid& grid) : grid_(grid) { grid_.beginBatch(); }
    ~GridBatch() { grid_.endBatch(); }
    GridBatch(const GridBatch&) = delete;
    GridBatch& operator=(const GridBatch&) = delete;

private:
    Grid& grid_;
};

}  // namespace tsumiki
