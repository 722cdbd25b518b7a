// Fill time of the grid for a year of clock rows (365 000 rows × 7 columns), against filling a plain vector of
// the same strings in the same run. Prints milliseconds and ratios; nothing checks them.
#include <QApplication>
#include <QElapsedTimer>
#include <QString>
#include <QTextStream>
#include <algorithm>
#include <functional>
#include <vector>

#include "ui/grid/grid.h"

namespace {

constexpr int kRows = 365000;
constexpr int kCols = 7;
constexpr int kRuns = 3;
constexpr int kDeletedRows = 1000;

// The same texts for every fill, so that only the storage differs.
QString cellText(int row, int col) {
    return QString::number(qint64(row) * kCols + col);
}

// The best of a few runs: the least disturbed by the rest of the machine.
double bestMs(const std::function<void()>& work) {
    double best = 0.0;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        work();
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        best = run == 0 ? ms : std::min(best, ms);
    }
    return best;
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

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QTextStream out(stdout);

    const double baseline = bestMs([] {
        std::vector<QString> cells(std::size_t(kRows) * kCols);
        for (int row = 0; row < kRows; ++row) {
            for (int col = 0; col < kCols; ++col) {
                cells[std::size_t(row) * kCols + std::size_t(col)] = cellText(row, col);
            }
        }
    });
    const double byAddress = bestMs([] {
        tsumiki::Grid grid;
        tsumiki::GridBatch batch(grid);
        fillByAddress(grid, kRows);
    });
    const double editorLoad = bestMs([] {
        tsumiki::Grid grid;
        grid.show();
        tsumiki::GridBatch batch(grid);
        loadLikeAnEditor(grid, kRows);
    });
    const double byAddressUnbatched = bestMs([] {
        tsumiki::Grid grid;
        fillByAddress(grid, kRows);
    });
    const double editorLoadUnbatched = bestMs([] {
        tsumiki::Grid grid;
        loadLikeAnEditor(grid, kRows);
    });

    // A range delete near the top of a full grid, as the clock-record editor does it.
    tsumiki::Grid full;
    {
        tsumiki::GridBatch batch(full);
        fillByAddress(full, kRows + 2 * kRuns * kDeletedRows);
    }
    const double deleteOneByOne = bestMs([&full] {
        tsumiki::GridBatch batch(full);
        for (int i = 0; i < kDeletedRows; ++i) {
            full.removeItem(1);
        }
    });
    const double deleteAtOnce = bestMs([&full] { full.removeItems(1, kDeletedRows); });

    const auto line = [&](const QString& name, double ms, double reference) {
        out << "  " << name << ": " << qRound(ms) << " ms";
        if (reference > 0) {
            out << ", ratio " << QString::number(ms / reference, 'f', 2);
        }
        out << "\n";
    };
    out << "grid fill, " << kRows << " rows x " << kCols << " columns, best of " << kRuns << " runs\n";
    line(QStringLiteral("std::vector<QString> fill (baseline)"), baseline, 0);
    line(QStringLiteral("grid in a batch, cells by address"), byAddress, baseline);
    line(QStringLiteral("grid in a batch, shown, editor load through the current cell"), editorLoad, baseline);
    line(QStringLiteral("grid without a batch, hidden, cells by address"), byAddressUnbatched, baseline);
    line(QStringLiteral("grid without a batch, hidden, editor load through the current cell"), editorLoadUnbatched,
         baseline);
    out << "range delete of " << kDeletedRows << " rows at the top of " << kRows << " rows\n";
    line(QStringLiteral("removeItem one by one in a batch"), deleteOneByOne, 0);
    line(QStringLiteral("removeItems at once"), deleteAtOnce, 0);
    return 0;
}
