#pragma once

#include <span>

class QWidget;

namespace tsumiki {

class Grid;

struct SheetColumn {
    const char16_t* header;
    int twips;
};

// The grid of a monthly sheet, named as the screens' grid is, in the compact table font its widths are set for.
Grid* makeSheetGrid(QWidget* parent);

// One fixed header row, no fixed column, the given columns centred with their headers and widths.
void shapeSheetGrid(Grid& grid, std::span<const SheetColumn> columns);

// After the cells are filled: widen what overflows and let the screen show `dataRows` rows without scrolling.
void fitSheetGrid(Grid& grid, int dataRows);

}  // namespace tsumiki
