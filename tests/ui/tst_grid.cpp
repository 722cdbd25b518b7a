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

// The events of the two key notifications in the order they arrive.
struct KeyLog {
    explicit KeyLog(Grid& grid) {
        QObject::connect(&grid, &Grid::keyDown, &grid, [this](int key, Qt::KeyboardModifiers modifiers) {
            events << QStringLiteral("down %1 %2").arg(int(key)).arg(modifiers.toInt());
        });
        QObject::connect(&grid, &Grid::keyPress, &grid, [this](const QString& c) { events << "press " + c; });
    }
    QStringList events;
};

// Source rows named as fillNames names cells, by source row.
class NamedSource final : public tsumiki::CellSource {
public:
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
            QVERIFY(!(model.flags(model.index(0, 0)) & Qt::ItemIsEditable));
        }
    }

    void userMovesOnlyAmongDataCellsAndEditsNone() {
        TestedGrid grid(3, 4);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QTest::keyClick(&grid, Qt::Key_Up);
        QTest::keyClick(&grid, Qt::Key_Left);
        QCOMPARE(QPoint(grid.row(), grid.col()), QPoint(1, 1));
        // Neither editing triggers nor typing change a cell or move the current one (typing is not a search).
        QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, grid.visualRect(grid.currentIndex()).center());
        QTest::keyClick(&grid, Qt::Key_F2);
        QTest::keyClicks(&grid, "xyz");
        QTest::keyClick(&grid, Qt::Key_Delete);
        QTest::keyClick(&grid, Qt::Key_Return);
        QVERIFY(grid.findChildren<QLineEdit*>().isEmpty());
        QCOMPARE(grid.textMatrix(1, 1), cellName(1, 1));
        QCOMPARE(QPoint(grid.row(), grid.col()), QPoint(1, 1));
        QTest::keyClick(&grid, Qt::Key_Down);
        QTest::keyClick(&grid, Qt::Key_Right);
        QCOMPARE(QPoint(grid.row(), grid.col()), QPoint(2, 2));
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.visualRect(grid.model()->index(2, 2)).center());
        QTest::mouseClick(grid.horizontalHeader()->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseClick(grid.verticalHeader()->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(QPoint(grid.row(), grid.col()), QPoint(3, 3));
        QCOMPARE(grid.selectionModel()->selectedIndexes(), QModelIndexList{grid.model()->index(2, 2)});
    }

    void currentCell() {
        TestedGrid grid(5, 4);
        QVERIFY(grid.setRow(4) && grid.setCol(2));
        QVERIFY(grid.setText("出勤"));
        QCOMPARE(grid.textMatrix(4, 2), "出勤");
        QCOMPARE(grid.currentIndex(), grid.model()->index(3, 1));
        QVERIFY(!grid.setRow(6) && !grid.setCol(-1));
        // It keeps its content when rows above it go, and stays inside the grid when it shrinks.
        QVERIFY(grid.removeItem(2));
        QCOMPARE(QPoint(grid.row(), grid.col()), QPoint(3, 2));
        QCOMPARE(grid.text(), "出勤");
        QVERIFY(grid.setRows(3));
        QCOMPARE(grid.currentIndex(), grid.model()->index(1, 1));
        // Header texts are written the same way.
        grid.setRow(0);
        grid.setText("開始");
        QCOMPARE(grid.model()->headerData(1, Qt::Horizontal).toString(), "開始");
    }

    void removeItems() {
        // Data rows, the first removed, how many (1500 of 2000: the storage is laid out again), accepted: the only
        // data row, the fixed row and past the end are refused.
        const std::tuple<int, int, int, bool> cases[] = {{3, 2, 1, true},  {3, 3, 1, true},  {2000, 2, 1500, true},
                                                         {1, 1, 1, false}, {3, 0, 1, false}, {3, 4, 1, false}};
        for (const auto& [dataRows, removed, count, accepted] : cases) {
            TestedGrid grid(dataRows, 3);
            auto colourOf = [](int row) { return QColor(QRgb(0x10000 + row)); };
            for (int row = 1; row <= dataRows; ++row) {
                grid.setRow(row);
                grid.setCol(2);
                grid.setCellBackColor(colourOf(row));
            }
            QCOMPARE(grid.removeItems(removed, count), accepted);
            const int gone = accepted ? count : 0;
            QCOMPARE(grid.rows(), dataRows + 1 - gone);
            // Rows added again after the removal are empty: nothing removed comes back, text or colour.
            grid.setRows(dataRows + 1);
            for (int row = 0; row <= dataRows; ++row) {
                const int source = row < removed ? row : row + gone;
                QCOMPARE(grid.textMatrix(row, 2), source <= dataRows ? cellName(source, 2) : QString());
                // The colour goes with its cell, as the view shows it.
                const QColor colour = row > 0 && source <= dataRows ? colourOf(source) : QColor();
                QCOMPARE(grid.cellBackColor(row, 2), colour);
                const QVariant brush = grid.model()->data(grid.model()->index(row - 1, 1), Qt::BackgroundRole);
                QCOMPARE(brush.isValid() ? brush.value<QBrush>().color() : QColor(), colour);
            }
        }
    }

    // A grid over a source of texts behaves as a grid that holds the same texts itself, whatever is edited,
    // removed, added and renumbered; the model testers check the notifications on the way.
    void sourceRowsBehaveAsOwnRows() {
        constexpr int kDataRows = 300;
        TestedGrid viaSource(0, 4);
        TestedGrid own(kDataRows, 4);
        QVERIFY(viaSource.appendSourceRows(std::make_shared<NamedSource>(), kDataRows));
        auto numberOwn = [&own] {
            for (int r = 1; r < own.rows(); ++r) {
                own.setTextMatrix(r, 0, QString::number(r));
            }
        };
        numberOwn();
        quint32 state = 12345;
        auto next = [&state](int bound) {
            state = state * 1103515245u + 12345u;
            return int((state >> 8) % quint32(bound));
        };
        for (int step = 0; step < 400; ++step) {
            const int dataRows = own.rows() - 1;
            const int row = 1 + next(dataRows);
            switch (next(4)) {
                case 0: {
                    const QString text = QStringLiteral("edit %1").arg(step);
                    const int col = next(4);
                    viaSource.setTextMatrix(row, col, text);
                    own.setTextMatrix(row, col, text);
                    break;
                }
                case 1: {
                    const int count = 1 + next(std::min(5, dataRows));
                    QCOMPARE(viaSource.removeItems(row, count), own.removeItems(row, count));
                    break;
                }
                case 2:
                    viaSource.setRows(viaSource.rows() + 1);
                    own.setRows(own.rows() + 1);
                    break;
                default:
                    viaSource.renumber();
                    numberOwn();
            }
            QCOMPARE(viaSource.rows(), own.rows());
        }
        // Rows shown from the source number themselves; the others were renumbered in the last pass.
        viaSource.renumber();
        numberOwn();
        int stillFromSource = 0;
        for (int r = 0; r < own.rows(); ++r) {
            stillFromSource += viaSource.sourceRowOf(r) >= 0 ? 1 : 0;
            for (int c = 0; c < 4; ++c) {
                QCOMPARE(viaSource.textMatrix(r, c), own.textMatrix(r, c));
                QCOMPARE(viaSource.model()->data(viaSource.model()->index(r - 1, c - 1)),
                         own.model()->data(own.model()->index(r - 1, c - 1)));
            }
        }
        QVERIFY(stillFromSource > 0);
    }

    void columnWidths() {
        QCOMPARE(tsumiki::twipsToPixels(800, 192), 107);
        TestedGrid grid(2, 4);
        const int dpi = grid.logicalDpiX();
        QVERIFY(grid.setColWidth(0, 300) && grid.setColWidth(1, 1200) && grid.setColWidth(3, 0));
        QVERIFY(!grid.setColWidth(4, 300));
        QCOMPARE(grid.columnWidth(0), tsumiki::twipsToPixels(1200, dpi));
        QVERIFY(grid.isColumnHidden(2));
        QCOMPARE(grid.verticalHeader()->sizeHint().width(), tsumiki::twipsToPixels(300, dpi));
        grid.setColWidth(3, 600);
        QVERIFY(!grid.isColumnHidden(2));
        grid.setColWidth(0, 0);
        QVERIFY(grid.verticalHeader()->isHidden());
        // The last column keeps its width however wide the grid is.
        grid.resize(2000, 300);
        QCOMPARE(grid.columnWidth(2), tsumiki::twipsToPixels(600, dpi));
        grid.setColAlignment(1, Qt::AlignCenter);
        const QVariant centre(Qt::Alignment(Qt::AlignCenter).toInt());
        QCOMPARE(grid.model()->data(grid.model()->index(1, 0), Qt::TextAlignmentRole), centre);
        QCOMPARE(grid.model()->headerData(0, Qt::Horizontal, Qt::TextAlignmentRole), centre);
    }

    void keyDownComesBeforeKeyPress() {
        // Key, modifiers, the characters typed: Delete and Alt+C type none, Ctrl+Shift+C a control character.
        const std::tuple<Qt::Key, Qt::KeyboardModifiers, QString> cases[] = {
            {Qt::Key_A, {}, "a"},
            {Qt::Key_Return, {}, "\r"},
            {Qt::Key_Delete, {}, ""},
            {Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier, "\x03"},
            {Qt::Key_C, Qt::AltModifier, ""}};
        for (const auto& [key, modifiers, typed] : cases) {
            Grid grid;
            KeyLog log(grid);
            QTest::keyClick(&grid, key, modifiers);
            QStringList expected{QStringLiteral("down %1 %2").arg(int(key)).arg(modifiers.toInt())};
            for (const QChar character : typed) {
                expected << "press " + QString(character);
            }
            // The modifier keys themselves come first and type nothing.
            const qsizetype at = log.events.indexOf(expected.first());
            QVERIFY(at >= 0);
            QCOMPARE(log.events.mid(at), expected);
            for (const QString& event : log.events.first(at)) {
                QVERIFY2(event.startsWith("down "), qPrintable(event));
            }
        }
    }

    void typing() {
        TestedGrid grid(0, 4);
        KeyLog log(grid);
        // Never into a header cell.
        QTest::keyClick(&grid, Qt::Key_A);
        QInputMethodEvent commit;
        commit.setCommitString("あ");
        QApplication::sendEvent(&grid, &commit);
        QVERIFY(log.events.isEmpty());
        // Rows added later: the header cell the program last wrote gives way to the first data cell.
        grid.setRow(0);
        grid.setCol(2);
        grid.setRows(3);
        QTest::keyClick(&grid, Qt::Key_A);
        QCOMPARE(log.events.size(), 2);
        QCOMPARE(QPoint(grid.row(), grid.col()), QPoint(1, 1));
        // An input method's commit is one key press per character; composing types nothing.
        log.events.clear();
        QVERIFY(static_cast<QWidget&>(grid).inputMethodQuery(Qt::ImEnabled).toBool());
        QInputMethodEvent composing("きんむ", {});
        QApplication::sendEvent(&grid, &composing);
        commit.setCommitString("勤務𠮷");
        QApplication::sendEvent(&grid, &commit);
        QCOMPARE(log.events, (QStringList{"press 勤", "press 務", "press 𠮷"}));
    }

    // The speed of a long fill is the benchmark's; here, that a batch tells the view once.
    void batchFillResetsOnce() {
        TestedGrid grid(0, 8);
        QSignalSpy changed(grid.model(), &QAbstractItemModel::dataChanged);
        QSignalSpy inserted(grid.model(), &QAbstractItemModel::rowsInserted);
        QSignalSpy reset(grid.model(), &QAbstractItemModel::modelReset);
        {
            GridBatch batch(grid);
            for (int row = 1; row <= 300; ++row) {
                grid.setRows(row + 1);
                grid.setTextMatrix(row, 0, QString::number(row));
                grid.setRow(row);
                for (int col = 1; col < 8; ++col) {
                    grid.setCol(col);
                    grid.setText(cellName(row, col));
                }
            }
        }
        QCOMPARE(changed.count(), 0);
        QCOMPARE(inserted.count(), 0);
        QCOMPARE(reset.count(), 1);
        QCOMPARE(grid.textMatrix(300, 7), cellName(300, 7));
        QCOMPARE(grid.model()->headerData(299, Qt::Vertical).toString(), "300");
        QCOMPARE(grid.currentIndex(), grid.model()->index(299, 6));
    }
};

QTEST_MAIN(TestGrid)
#include "tst_grid.moc"
