#include <QAbstractItemModelTester>
#include <QApplication>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include "ui/grid/grid.h"

using tsumiki::Grid;
using tsumiki::GridBatch;

namespace {

QString cellName(int row, int col) {
    return QStringLiteral("%1:%2").arg(row).arg(col);
}

// A grid of the editors' shape (header row, numbering column) with every cell named "row:col", its model
// watched by the model tester from the start: every change below is checked for the signals a view relies on.
struct TestedGrid : Grid {
    TestedGrid(int dataRows, int cols, int fixedRows = 1, int fixedCols = 1) {
        GridBatch batch(*this);
        setFixedRows(fixedRows);
        setFixedCols(fixedCols);
        setCols(cols);
        setRows(dataRows + fixedRows);
        for (int row = 0; row < rows(); ++row) {
            for (int col = 0; col < cols; ++col) {
                setTextMatrix(row, col, cellName(row, col));
            }
        }
    }
    QAbstractItemModelTester tester{model(), QAbstractItemModelTester::FailureReportingMode::QtTest};
};

// Source rows named as TestedGrid names cells, by source row.
struct NamedSource final : tsumiki::CellSource {
    QString text(int sourceRow, int col) const override { return cellName(sourceRow + 1, col); }
};

}  // namespace

class TestGrid : public QObject {
    Q_OBJECT

private slots:
    void shapeChanges() {
        // Rows and columns asked for, counting the fixed ones, and whether that is accepted.
        const std::tuple<int, int, bool> cases[] = {{7, 4, true}, {2, 4, true},  {1, 4, true}, {4, 6, true},
                                                    {4, 2, true}, {0, 4, false}, {4, 0, false}};
        for (const auto& [rows, cols, accepted] : cases) {
            TestedGrid grid(3, 4);
            grid.setRow(3);
            grid.setCol(3);
            grid.setCellBackColor(Qt::red);
            grid.setColWidth(3, 600);
            QCOMPARE(grid.setRows(rows) && grid.setCols(cols), accepted);
            const int shownRows = accepted ? rows : 4;
            const int shownCols = accepted ? cols : 4;
            QCOMPARE(grid.model()->rowCount(), shownRows - 1);
            QCOMPARE(grid.model()->columnCount(), shownCols - 1);
            for (int row = 0; row < shownRows; ++row) {
                for (int col = 0; col < shownCols; ++col) {
                    QCOMPARE(grid.textMatrix(row, col), row < 4 && col < 4 ? cellName(row, col) : QString());
                }
            }
            // The current cell stays inside the grid, and only a cell inside it can be made current.
            QVERIFY(!grid.setRow(shownRows) && !grid.setCol(-1));
            const QPoint current(std::min(3, shownRows - 1), std::min(3, shownCols - 1));
            QCOMPARE(QPoint(grid.row(), grid.col()), current);
            QCOMPARE(grid.currentIndex(), grid.model()->index(current.x() - 1, current.y() - 1));
            // What was cut comes back empty.
            grid.setRows(4);
            grid.setCols(4);
            const bool kept = shownRows > 3 && shownCols > 3;
            QCOMPARE(grid.textMatrix(3, 3), kept ? cellName(3, 3) : QString());
            QCOMPARE(grid.cellBackColor(3, 3).isValid(), kept);
            QCOMPARE(grid.colWidth(3) == 600, shownCols > 3);
        }
    }

    void fixedRowAndColumnAreTheHeaders() {
        // The editors' fixed row and column, the sheets' fixed row only, and none.
        for (const auto& [fixedRows, fixedCols] : {std::pair{1, 1}, {1, 0}, {0, 0}}) {
            TestedGrid grid(3, 5, fixedRows, fixedCols);
            const QAbstractItemModel& model = *grid.model();
            QCOMPARE(model.data(model.index(0, 0)).toString(), cellName(fixedRows, fixedCols));
            QCOMPARE(grid.horizontalHeader()->isHidden(), fixedRows == 0);
            QCOMPARE(grid.verticalHeader()->isHidden(), fixedCols == 0);
            QCOMPARE(model.headerData(1, Qt::Horizontal),
                     fixedRows ? QVariant(cellName(0, 1 + fixedCols)) : QVariant());
            QCOMPARE(model.headerData(1, Qt::Vertical), fixedCols ? QVariant(cellName(1 + fixedRows, 0)) : QVariant());
        }
    }

    // Keys and the mouse move among data cells; no key or click edits a cell, and typing is not a search.
    void userMovesAmongDataCellsAndEditsNone() {
        TestedGrid grid(3, 4);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        for (Qt::Key key : {Qt::Key_Up, Qt::Key_Left, Qt::Key_F2, Qt::Key_3, Qt::Key_Delete, Qt::Key_Return}) {
            QTest::keyClick(&grid, key);
        }
        QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, grid.visualRect(grid.currentIndex()).center());
        QVERIFY(grid.findChildren<QLineEdit*>().isEmpty());
        QCOMPARE(grid.textMatrix(1, 1), cellName(1, 1));
        QCOMPARE(QPoint(grid.row(), grid.col()), QPoint(1, 1));
        QTest::keyClick(&grid, Qt::Key_Down);
        QTest::keyClick(&grid, Qt::Key_Right);
        QCOMPARE(QPoint(grid.row(), grid.col()), QPoint(2, 2));
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.visualRect(grid.model()->index(2, 2)).center());
        QCOMPARE(QPoint(grid.row(), grid.col()), QPoint(3, 3));
        QCOMPARE(grid.selectionModel()->selectedIndexes(), QModelIndexList{grid.model()->index(2, 2)});
    }

    // Rows shown from a source of texts and rows with texts of their own both behave as a plain list of rows,
    // whatever is edited, coloured, removed (refused past the end) and added; a long removal first lays the own
    // rows' storage out again. The model testers check the notifications on the way; the speed of long fills and
    // removals is the benchmark's.
    void rowsBehaveAsAList() {
        TestedGrid own(2000, 3);
        TestedGrid viaSource(0, 3);
        QVERIFY(viaSource.appendSourceRows(std::make_shared<NamedSource>(), 2000));
        QList<QStringList> list;  // each data row's texts in columns 1 and 2, and the colour of column 2
        for (int row = 1; row <= 2000; ++row) {
            list << QStringList{cellName(row, 1), cellName(row, 2), QString()};
        }
        for (TestedGrid* grid : {&own, &viaSource}) {
            QSignalSpy changed(grid->model(), &QAbstractItemModel::dataChanged);
            QSignalSpy inserted(grid->model(), &QAbstractItemModel::rowsInserted);
            QSignalSpy removed(grid->model(), &QAbstractItemModel::rowsRemoved);
            QSignalSpy reset(grid->model(), &QAbstractItemModel::modelReset);
            grid->setRow(1900);
            grid->setCol(2);
            {
                GridBatch batch(*grid);  // the view is told once, as the editors' loads and range deletes need
                QVERIFY(grid->removeItems(2, 1500));
                grid->setRows(grid->rows() + 1);
                grid->setTextMatrix(1, 1, "batch");
            }
            QVERIFY(changed.isEmpty() && inserted.isEmpty() && removed.isEmpty() && reset.size() == 1);
            // The current cell keeps its content when rows above it go, and the view shows it.
            QCOMPARE(grid->currentIndex().data().toString(), cellName(1900, 2));
        }
        list.remove(1, 1500);
        list[0][0] = "batch";
        list.append(QStringList(3));
        quint32 state = 12345;
        auto next = [&state](int bound) {
            state = state * 1103515245u + 12345u;
            return int((state >> 8) % quint32(bound));
        };
        for (int step = 0; step < 600; ++step) {
            const int action = next(3);
            const int row = 1 + next(int(list.size()));
            const int col = next(3);
            const int count = 1 + next(5);
            const bool fits = row + count - 1 <= list.size();
            for (TestedGrid* grid : {&own, &viaSource}) {
                if (action == 0) {
                    grid->setTextMatrix(row, col, QString::number(step));
                    grid->setRow(row);
                    grid->setCol(2);
                    grid->setCellBackColor(QColor(QRgb(step)));
                } else if (action == 1) {
                    QCOMPARE(grid->removeItems(row, count), fits);
                } else {
                    grid->setRows(grid->rows() + count);
                }
            }
            if (action == 0) {
                list[row - 1][2] = QColor(QRgb(step)).name();
                if (col > 0) {
                    list[row - 1][col - 1] = QString::number(step);
                }
            } else if (action == 1 && fits) {
                list.remove(row - 1, count);
            } else if (action == 2) {
                list.append(QList<QStringList>(count, QStringList(3)));
            }
        }
        // Rows shown from the source number themselves; the others are numbered now.
        int fromSource = 0;
        for (TestedGrid* grid : {&own, &viaSource}) {
            grid->renumber();
            QCOMPARE(grid->rows(), list.size() + 1);
            const int last = int(list.size());
            QVERIFY(!grid->removeItems(0, 1) && !grid->removeItems(1, last) && !grid->removeItems(last, 2));
            for (int row = 1; row <= last; ++row) {
                fromSource += grid->sourceRowOf(row) >= 0 ? 1 : 0;
                const QVariant brush = grid->model()->data(grid->model()->index(row - 1, 1), Qt::BackgroundRole);
                QCOMPARE((QStringList{grid->textMatrix(row, 0), grid->textMatrix(row, 1), grid->textMatrix(row, 2),
                                      brush.isValid() ? brush.value<QBrush>().color().name() : QString()}),
                         QStringList{QString::number(row)} + list[row - 1]);
            }
        }
        QVERIFY(fromSource > 0);
    }

    void columnWidths() {
        QCOMPARE(tsumiki::twipsToPixels(800, 192), 107);
        TestedGrid grid(2, 4);
        auto pixels = [&grid](int twips) { return tsumiki::twipsToPixels(twips, grid.logicalDpiX()); };
        QVERIFY(grid.setColWidth(0, 300) && grid.setColWidth(1, 1200) && grid.setColWidth(3, 0));
        QVERIFY(!grid.setColWidth(4, 300));
        QCOMPARE(grid.verticalHeader()->sizeHint().width(), pixels(300));
        QCOMPARE(grid.columnWidth(0), pixels(1200));
        QVERIFY(grid.isColumnHidden(2));
        grid.setColWidth(3, 600);
        grid.setColWidth(0, 0);
        QVERIFY(!grid.isColumnHidden(2) && grid.verticalHeader()->isHidden());
        // The last column keeps its width however wide the grid is.
        grid.resize(2000, 300);
        QCOMPARE(grid.columnWidth(2), pixels(600));
        grid.setColAlignment(1, Qt::AlignCenter);
        const QVariant centre(Qt::Alignment(Qt::AlignCenter).toInt());
        QCOMPARE(grid.model()->data(grid.model()->index(1, 0), Qt::TextAlignmentRole), centre);
        QCOMPARE(grid.model()->headerData(0, Qt::Horizontal, Qt::TextAlignmentRole), centre);
    }

    // What the editors build their cell editing on: a key as keyDown, then one keyPress per character typed or
    // committed by an input method (a surrogate pair whole, a composition nothing), and only for a data cell.
    void typing() {
        TestedGrid grid(0, 4);
        QStringList events;
        connect(&grid, &Grid::keyDown, this, [&events] { events << "down"; });
        connect(&grid, &Grid::keyPress, this, [&events](const QString& c) { events << c; });
        auto commit = [&grid](const QString& text) {
            QInputMethodEvent event;
            event.setCommitString(text);
            QApplication::sendEvent(&grid, &event);
        };
        QTest::keyClick(&grid, Qt::Key_A);
        commit("あ");
        QVERIFY(events.isEmpty());
        // Rows added later: the header cell the program last made current gives way to the first data cell.
        grid.setRow(0);
        grid.setCol(2);
        grid.setRows(3);
        QTest::keyClick(&grid, Qt::Key_A);
        QCOMPARE(QPoint(grid.row(), grid.col()), QPoint(1, 1));
        QVERIFY(static_cast<QWidget&>(grid).inputMethodQuery(Qt::ImEnabled).toBool());
        QInputMethodEvent composing("きんむ", {});
        QApplication::sendEvent(&grid, &composing);
        commit("勤務𠮷");
        QCOMPARE(events, (QStringList{"down", "a", "勤", "務", "𠮷"}));
    }
};

QTEST_MAIN(TestGrid)
#include "tst_grid.moc"
