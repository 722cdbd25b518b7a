// The grid as the program uses it, for a year of clock rows (365 000 rows × 7 columns): filled in a batch as the
// sheets and the editors fill it, against filling a plain vector of the same strings, and a range delete as the
// clock-record editor does it, against erasing the same cells from that vector; in paired runs.
#include <QApplication>
#include <QString>
#include <QTextStream>
#include <algorithm>
#include <functional>
#include <vector>

#include "clockdata.h"
#include "ui/grid/grid.h"

namespace {

constexpr int kRows = 365000;
constexpr int kCols = 7;
constexpr int kDeletedRows = 1000;

// The same texts for every fill, so that only the storage differs.
QString cellText(int row, int col) {
    return QString::number(qint64(row) * kCols + col);
}

// As the sheets fill: the row count set once, cells written by address.
void fillByAddress(tsumiki::Grid& grid, int rows) {
    grid.setFixedCols(0);
    grid.setCols(kCols);
    grid.setRows(rows + 1);
    for (int row = 1; row <= rows; ++row) {
        for (int col = 0; col < kCols; ++col) {
            grid.setTextMatrix(row, col, cellText(row - 1, col));
        }
    }
}

// As the editors load: one more row per record, its number in the fixed column, each field through the
// current cell.
void loadLikeAnEditor(tsumiki::Grid& grid, int rows) {
    grid.setCols(kCols + 1);
    grid.setColWidth(0, 300);
    for (int row = 1; row <= rows; ++row) {
        grid.setRows(row + 1);
        grid.setTextMatrix(row, 0, QString::number(row));
        grid.setRow(row);
        for (int col = 0; col < kCols; ++col) {
            grid.setCol(col + 1);
            grid.setText(cellText(row - 1, col));
        }
    }
}

// A plain vector of the cells of `rows` rows, the baseline the fills are set against.
std::vector<QString> plainCells(int rows) {
    std::vector<QString> cells(std::size_t(rows) * kCols);
    for (int row = 0; row < rows; ++row) {
        for (int col = 0; col < kCols; ++col) {
            cells[std::size_t(row) * kCols + std::size_t(col)] = cellText(row, col);
        }
    }
    return cells;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QTextStream out(stdout);
    using namespace tsumiki::bench;
    constexpr int kPairs = kPairedRuns;

    out << "grid fill, " << kRows << " rows x " << kCols << " columns; each figure the median of " << kPairs
        << " paired runs\n";
    const auto fillBaseline = [] { return timeMs([] { plainCells(kRows); }); };
    const QString fillBaselineName = QStringLiteral("std::vector<QString> fill");
    const auto fill = [&](const QString& what, const QString& name, double target, const std::function<void()>& work) {
        printFigure(out, what, name, pairedMedian(kPairs, fillBaseline, [&] { return timeMs(work); }), target,
                    fillBaselineName);
    };
    fill(QStringLiteral("grid in a batch, cells by address"), QStringLiteral("grid_fill_batched"), 2, [] {
        tsumiki::Grid grid;
        tsumiki::GridBatch batch(grid);
        fillByAddress(grid, kRows);
    });
    fill(QStringLiteral("grid in a batch, shown, editor load through the current cell"),
         QStringLiteral("grid_editor_load_batched"), 3, [] {
             tsumiki::Grid grid;
             grid.show();
             tsumiki::GridBatch batch(grid);
             loadLikeAnEditor(grid, kRows);
         });

    // A range delete near the top of a full grid, as the clock-record editor does it, against erasing the same
    // cells from the top of a plain vector of all the cells.
    out << "range delete of " << kDeletedRows << " rows at the top of " << kRows << " rows\n";
    const int extraRows = kPairs * kDeletedRows;
    std::vector<QString> plain = plainCells(kRows + extraRows);
    const auto eraseBaseline = [&] {
        return timeMs([&] { plain.erase(plain.begin(), plain.begin() + std::ptrdiff_t(kDeletedRows) * kCols); });
    };
    const QString eraseBaselineName = QStringLiteral("std::vector<QString> erase");
    tsumiki::Grid full;
    {
        tsumiki::GridBatch batch(full);
        fillByAddress(full, kRows + extraRows);
    }
    printFigure(out, QStringLiteral("removeItems at once"), QStringLiteral("grid_delete_range"),
                pairedMedian(kPairs, eraseBaseline, [&] { return timeMs([&] { full.removeItems(1, kDeletedRows); }); }),
                0.5, eraseBaselineName);
    return 0;
}
