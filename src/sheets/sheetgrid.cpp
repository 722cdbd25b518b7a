#include "sheets/sheetgrid.h"

#include "ui/controlnames.h"
#include "ui/grid/grid.h"

namespace tsumiki {
namespace {
// The sheets' column widths are fixed in twips for a compact table font; the application's larger font would
// not fit them.
constexpr qreal kSheetGridPointSize = 9.0;
}  // namespace

Grid* makeSheetGrid(QWidget* parent) {
    auto* grid = new Grid(parent);
    grid->setObjectName(names::sheet::grid);
    QFont font = grid->font();
    font.setPointSizeF(kSheetGridPointSize);
    grid->setFont(font);
    return grid;
}

void shapeSheetGrid(Grid& grid, std::span<const SheetColumn> columns) {
    grid.setCols(static_cast<int>(columns.size()));
    grid.setFixedCols(0);
    grid.setFixedRows(1);
    for (int c = 0; c < grid.cols(); ++c) {
        grid.setTextMatrix(0, c, QString::fromUtf16(columns[c].header));
        grid.setColWidth(c, columns[c].twips);
        grid.setColAlignment(c, Qt::AlignCenter);
    }
}

void fitSheetGrid(Grid& grid, int dataRows) {
    grid.widenColumnsToFitText();
    grid.setMinimumSize(grid.sizeForDataRows(dataRows));
}

}  // namespace tsumiki
