#include <QAbstractItemModelTester>
#include <QApplication>
#include <QDialog>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include "ui/grid/grid.h"

using tsumiki::Grid;
using tsumiki::GridBatch;

namespace {

QString cellName(int row, int col) {
    return QStringLiteral("%1:%2").arg(row).arg(col);
}

void fillNames(Grid& grid) {
    for (int row = 0; row < grid.rows(); ++row) {
        for (int col = 0; col < grid.cols(); ++col) {
            grid.setTextMatrix(row, col, cellName(row, col));
        }
    }
}

// A grid of the editors' shape: header row, numbering column, rows 1..dataRows named "row:col".
void shapeEditorGrid(Grid& grid, int dataRows, int cols) {
    grid.setCols(cols);
    grid.setRows(dataRows + 1);
    fillNames(grid);
}

// Writes the events of the two key notifications in the order they arrive.
struct KeyLog {
    explicit KeyLog(Grid& grid) {
        QObject::connect(&grid, &Grid::keyDown, &grid, [this](int key, Qt::KeyboardModifiers modifiers) {
            events << QStringLiteral("down %1 %2").arg(key).arg(modifiers.toInt());
        });
        QObject::connect(&grid, &Grid::keyPress, &grid,
                         [this](const QString& character) { events << QStringLiteral("press ") + character; });
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
    void rowCountGrowsAndShrinks_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("grow appends empty rows") << 3 << 6 << true;
        QTest::newRow("shrink cuts from the end") << 6 << 3 << true;
        QTest::newRow("down to the header row alone") << 4 << 1 << true;
        QTest::newRow("below the fixed row is refused") << 4 << 0 << false;
    }
    void rowCountGrowsAndShrinks() {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(bool, accepted);
        Grid grid;
        shapeEditorGrid(grid, from - 1, 3);
        QCOMPARE(grid.setRows(to), accepted);
        const int rows = accepted ? to : from;
        QCOMPARE(grid.rows(), rows);
        QCOMPARE(grid.model()->rowCount(), rows - 1);
        for (int row = 0; row < rows; ++row) {
            QCOMPARE(grid.textMatrix(row, 2), row < from ? cellName(row, 2) : QString());
        }
        // Rows once cut come back empty.
        grid.setRows(from);
        for (int row = std::min(from, rows); row < from; ++row) {
            QCOMPARE(grid.textMatrix(row, 1), QString());
        }
    }

    void colCountGrowsAndShrinks_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("grow") << 3 << 7 << true;
        QTest::newRow("shrink") << 7 << 2 << true;
        QTest::newRow("below the fixed column is refused") << 3 << 0 << false;
    }
    void colCountGrowsAndShrinks() {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(bool, accepted);
        Grid grid;
        shapeEditorGrid(grid, 3, from);
        grid.setColWidth(from - 1, 600);
        grid.setRow(2);
        grid.setCol(from - 1);
        grid.setCellBackColor(Qt::red);
        QCOMPARE(grid.setCols(to), accepted);
        const int cols = accepted ? to : from;
        QCOMPARE(grid.cols(), cols);
        QCOMPARE(grid.model()->columnCount(), cols - 1);
        for (int col = 0; col < cols; ++col) {
            QCOMPARE(grid.textMatrix(2, col), col < from ? cellName(2, col) : QString());
        }
        grid.setCols(from);
        QCOMPARE(grid.textMatrix(2, from - 1), cols < from ? QString() : cellName(2, from - 1));
        QCOMPARE(grid.cellBackColor(2, from - 1).isValid(), cols >= from);
        QCOMPARE(grid.colWidth(from - 1) == 600, cols >= from);
    }

    void fixedRowAndColumnAreTheHeaders_data() {
        QTest::addColumn<int>("fixedRows");
        QTest::addColumn<int>("fixedCols");
        QTest::newRow("editor: fixed row and column") << 1 << 1;
        QTest::newRow("sheet: fixed row only") << 1 << 0;
        QTest::newRow("no fixed cells") << 0 << 0;
    }
    void fixedRowAndColumnAreTheHeaders() {
        QFETCH(int, fixedRows);
        QFETCH(int, fixedCols);
        Grid grid;
        grid.setFixedRows(fixedRows);
        grid.setFixedCols(fixedCols);
        shapeEditorGrid(grid, 3, 5);
        const QAbstractItemModel& model = *grid.model();
        QCOMPARE(model.rowCount(), 4 - fixedRows);
        QCOMPARE(model.columnCount(), 5 - fixedCols);
        QCOMPARE(model.data(model.index(0, 0)).toString(), cellName(fixedRows, fixedCols));
        QCOMPARE(grid.horizontalHeader()->isHidden(), fixedRows == 0);
        QCOMPARE(grid.verticalHeader()->isHidden(), fixedCols == 0);
        for (int section = 0; section < model.columnCount(); ++section) {
            const QVariant caption = model.headerData(section, Qt::Horizontal);
            QCOMPARE(caption, fixedRows ? QVariant(cellName(0, section + fixedCols)) : QVariant());
        }
        for (int section = 0; section < model.rowCount(); ++section) {
            const QVariant number = model.headerData(section, Qt::Vertical);
            QCOMPARE(number, fixedCols ? QVariant(cellName(section + fixedRows, 0)) : QVariant());
        }
        QVERIFY(!(model.flags(model.index(0, 0)) & Qt::ItemIsEditable));
    }

    void userMovesOnlyAmongDataCells() {
        Grid grid;
        shapeEditorGrid(grid, 3, 4);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QTest::keyClick(&grid, Qt::Key_Up);
        QTest::keyClick(&grid, Qt::Key_Left);
        QCOMPARE(grid.row(), 1);
        QCOMPARE(grid.col(), 1);
        QTest::keyClick(&grid, Qt::Key_Down);
        QTest::keyClick(&grid, Qt::Key_Right);
        QCOMPARE(grid.row(), 2);
        QCOMPARE(grid.col(), 2);
        const QRect cell = grid.visualRect(grid.model()->index(2, 2));
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(grid.row(), 3);
        QCOMPARE(grid.col(), 3);
        QTest::mouseClick(grid.horizontalHeader()->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseClick(grid.verticalHeader()->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(grid.row(), 3);
        QCOMPARE(grid.col(), 3);
        QCOMPARE(grid.selectionModel()->selectedIndexes(), QModelIndexList{grid.model()->index(2, 2)});
    }

    void currentCellIsFilledThroughText() {
        Grid grid;
        shapeEditorGrid(grid, 3, 4);
        QVERIFY(grid.setRow(3));
        QVERIFY(grid.setCol(2));
        QVERIFY(grid.setText(QStringLiteral("出勤")));
        QCOMPARE(grid.textMatrix(3, 2), QStringLiteral("出勤"));
        QCOMPARE(grid.currentIndex(), grid.model()->index(2, 1));
        // Header texts are written the same way.
        grid.setRow(0);
        grid.setText(QStringLiteral("開始"));
        QCOMPARE(grid.model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("開始"));
        QVERIFY(!grid.setRow(4));
        QVERIFY(!grid.setCol(-1));
        QCOMPARE(grid.row(), 0);
        QCOMPARE(grid.col(), 2);
    }

    void currentCellKeepsItsContentWhenRowsGo() {
        Grid grid;
        shapeEditorGrid(grid, 5, 3);
        grid.setRow(4);
        grid.setCol(1);
        QVERIFY(grid.removeItem(2));
        QCOMPARE(grid.text(), cellName(4, 1));
        QCOMPARE(grid.row(), 3);
        QVERIFY(grid.setRows(3));
        QCOMPARE(grid.row(), 2);
        QCOMPARE(grid.currentIndex(), grid.model()->index(1, 0));
    }

    void colourStaysWithItsCell_data() {
        QTest::addColumn<int>("removed");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("colourRow");  // where the colour of row 3 ends up; -1: gone with its row
        QTest::newRow("a row above: moves up") << 1 << 1 << 2;
        QTest::newRow("its own row: gone") << 3 << 1 << -1;
        QTest::newRow("a row below: stays") << 4 << 1 << 3;
        QTest::newRow("two rows above: up by two") << 1 << 2 << 1;
    }
    void colourStaysWithItsCell() {
        QFETCH(int, removed);
        QFETCH(int, count);
        QFETCH(int, colourRow);
        Grid grid;
        shapeEditorGrid(grid, 5, 4);
        const QColor sunday(255, 192, 255);
        grid.setRow(3);
        grid.setCol(2);
        grid.setCellBackColor(sunday);
        QVERIFY(grid.removeItems(removed, count));
        for (int row = 1; row < grid.rows(); ++row) {
            for (int col = 0; col < grid.cols(); ++col) {
                const bool coloured = row == colourRow && col == 2;
                QCOMPARE(grid.cellBackColor(row, col), coloured ? sunday : QColor());
                const QVariant brush = grid.model()->data(grid.model()->index(row - 1, col - 1), Qt::BackgroundRole);
                if (col > 0) {
                    QCOMPARE(brush.isValid() ? brush.value<QBrush>().color() : QColor(), coloured ? sunday : QColor());
                }
            }
        }
    }

    void removeItemRefusals_data() {
        QTest::addColumn<int>("dataRows");
        QTest::addColumn<int>("removed");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("middle row") << 3 << 2 << true;
        QTest::newRow("last row") << 3 << 3 << true;
        QTest::newRow("the only data row") << 1 << 1 << false;
        QTest::newRow("the fixed row") << 3 << 0 << false;
        QTest::newRow("past the end") << 3 << 4 << false;
    }
    void removeItemRefusals() {
        QFETCH(int, dataRows);
        QFETCH(int, removed);
        QFETCH(bool, accepted);
        Grid grid;
        shapeEditorGrid(grid, dataRows, 3);
        QCOMPARE(grid.removeItem(removed), accepted);
        QCOMPARE(grid.rows(), accepted ? dataRows : dataRows + 1);
        for (int row = 0; row < grid.rows(); ++row) {
            const int source = accepted && row >= removed ? row + 1 : row;
            QCOMPARE(grid.textMatrix(row, 1), cellName(source, 1));
        }
    }

    void removedRowsLeaveNoTrace_data() {
        QTest::addColumn<int>("removals");
        QTest::newRow("a few rows") << 3;
        QTest::newRow("most of a long grid") << 1500;
    }
    void removedRowsLeaveNoTrace() {
        QFETCH(int, removals);
        constexpr int kDataRows = 2000;
        Grid grid;
        shapeEditorGrid(grid, kDataRows, 3);
        for (int i = 0; i < removals; ++i) {
            QVERIFY(grid.removeItem(2));
        }
        grid.setRows(kDataRows + 1);
        for (int row = 0; row <= kDataRows; ++row) {
            const int source = row < 2 ? row : row + removals;
            const QString expected = source <= kDataRows ? cellName(source, 2) : QString();
            QCOMPARE(grid.textMatrix(row, 2), expected);
        }
    }

    // A grid over a source of texts behaves as a grid that holds the same texts itself, whatever is edited,
    // removed, added and renumbered; the model tester checks the notifications on the way.
    void sourceRowsBehaveAsOwnRows() {
        constexpr int kDataRows = 300;
        Grid viaSource;
        Grid own;
        QAbstractItemModelTester tester(viaSource.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        for (Grid* grid : {&viaSource, &own}) {
            grid->setCols(4);
            grid->setRows(1);
            for (int col = 0; col < 4; ++col) {
                grid->setTextMatrix(0, col, cellName(0, col));
            }
        }
        QVERIFY(viaSource.appendSourceRows(std::make_shared<NamedSource>(), kDataRows));
        own.setRows(kDataRows + 1);
        for (int row = 1; row <= kDataRows; ++row) {
            own.setTextMatrix(row, 0, QString::number(row));
            for (int col = 1; col < 4; ++col) {
                own.setTextMatrix(row, col, cellName(row, col));
            }
        }
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
                    for (int r = 1; r < own.rows(); ++r) {
                        own.setTextMatrix(r, 0, QString::number(r));
                    }
            }
            QCOMPARE(viaSource.rows(), own.rows());
        }
        // Rows shown from the source number themselves; the others were renumbered in the last pass.
        viaSource.renumber();
        for (int r = 1; r < own.rows(); ++r) {
            own.setTextMatrix(r, 0, QString::number(r));
        }
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

    void twipsToPixels_data() {
        QTest::addColumn<int>("twips");
        QTest::addColumn<int>("dpi");
        QTest::addColumn<int>("pixels");
        QTest::newRow("300 at 100 %") << 300 << 96 << 20;
        QTest::newRow("300 at 200 %") << 300 << 192 << 40;
        QTest::newRow("800 at 100 %") << 800 << 96 << 53;
        QTest::newRow("800 at 200 %") << 800 << 192 << 107;
        QTest::newRow("one inch at 120 dpi") << 1440 << 120 << 120;
        QTest::newRow("hidden") << 0 << 96 << 0;
    }
    void twipsToPixels() {
        QFETCH(int, twips);
        QFETCH(int, dpi);
        QFETCH(int, pixels);
        QCOMPARE(tsumiki::twipsToPixels(twips, dpi), pixels);
    }

    void columnWidthsUseTheLogicalDpi() {
        Grid grid;
        grid.setCols(4);
        const int dpi = grid.logicalDpiX();
        QVERIFY(grid.setColWidth(0, 300));
        QVERIFY(grid.setColWidth(1, 1200));
        QVERIFY(grid.setColWidth(3, 0));
        QVERIFY(!grid.setColWidth(4, 300));
        QCOMPARE(grid.colWidth(1), 1200);
        QCOMPARE(grid.columnWidth(0), tsumiki::twipsToPixels(1200, dpi));
        QVERIFY(grid.isColumnHidden(2));
        QCOMPARE(grid.colWidth(3), 0);
        QCOMPARE(grid.verticalHeader()->sizeHint().width(), tsumiki::twipsToPixels(300, dpi));
        grid.setColWidth(3, 600);
        QVERIFY(!grid.isColumnHidden(2));
        grid.setColWidth(0, 0);
        QVERIFY(grid.verticalHeader()->isHidden());
        // The last column keeps its width however wide the grid is.
        grid.resize(2000, 300);
        QCOMPARE(grid.columnWidth(2), tsumiki::twipsToPixels(600, dpi));
    }

    void alignmentAppliesToCellsAndHeader() {
        Grid grid;
        shapeEditorGrid(grid, 2, 3);
        for (int col = 0; col < grid.cols(); ++col) {
            grid.setColAlignment(col, Qt::AlignCenter);
        }
        const QAbstractItemModel& model = *grid.model();
        const QVariant centre(Qt::Alignment(Qt::AlignCenter).toInt());
        QCOMPARE(model.data(model.index(1, 1), Qt::TextAlignmentRole), centre);
        QCOMPARE(model.headerData(1, Qt::Horizontal, Qt::TextAlignmentRole), centre);
        QCOMPARE(model.headerData(0, Qt::Vertical, Qt::TextAlignmentRole), centre);
    }

    void keyDownComesBeforeKeyPress_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QStringList>("typed");
        const int ctrl = Qt::ControlModifier;
        QTest::newRow("letter") << int(Qt::Key_A) << 0 << QStringList{QStringLiteral("a")};
        QTest::newRow("digit") << int(Qt::Key_1) << 0 << QStringList{QStringLiteral("1")};
        QTest::newRow("backspace") << int(Qt::Key_Backspace) << 0 << QStringList{QStringLiteral("\b")};
        QTest::newRow("enter") << int(Qt::Key_Return) << 0 << QStringList{QStringLiteral("\r")};
        QTest::newRow("delete types nothing") << int(Qt::Key_Delete) << 0 << QStringList{};
        QTest::newRow("ctrl+c") << int(Qt::Key_C) << ctrl << QStringList{QString(QChar(3))};
        QTest::newRow("ctrl+v") << int(Qt::Key_V) << ctrl << QStringList{QString(QChar(22))};
        QTest::newRow("ctrl+shift+c") << int(Qt::Key_C) << int(ctrl | Qt::ShiftModifier)
                                      << QStringList{QString(QChar(3))};
        QTest::newRow("alt+c types nothing") << int(Qt::Key_C) << int(Qt::AltModifier) << QStringList{};
    }
    void keyDownComesBeforeKeyPress() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QStringList, typed);
        Grid grid;
        KeyLog log(grid);
        QTest::keyClick(&grid, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QStringList expected{QStringLiteral("down %1 %2").arg(key).arg(modifiers)};
        for (const QString& character : typed) {
            expected << QStringLiteral("press ") + character;
        }
        // The modifier keys themselves come first and type nothing.
        const qsizetype at = log.events.indexOf(expected.first());
        QVERIFY(at >= 0);
        QCOMPARE(log.events.mid(at), expected);
        for (const QString& event : log.events.first(at)) {
            QVERIFY2(event.startsWith(QStringLiteral("down ")), qPrintable(event));
        }
    }

    void typingNeverReachesAHeaderCell() {
        Grid grid;
        shapeEditorGrid(grid, 0, 4);
        KeyLog log(grid);
        QTest::keyClick(&grid, Qt::Key_A);
        QInputMethodEvent commit;
        commit.setCommitString(QStringLiteral("あ"));
        QApplication::sendEvent(&grid, &commit);
        QVERIFY(log.events.isEmpty());
        // Rows added later: the header cell the program last wrote gives way to the first data cell.
        grid.setRow(0);
        grid.setCol(2);
        grid.setRows(3);
        QTest::keyClick(&grid, Qt::Key_A);
        QCOMPARE(log.events.size(), 2);
        QCOMPARE(grid.row(), 1);
        QCOMPARE(grid.col(), 1);
    }

    void inputMethodCommitGivesOneKeyPressPerCharacter() {
        Grid grid;
        QVERIFY(grid.testAttribute(Qt::WA_InputMethodEnabled));
        QVERIFY(static_cast<QWidget&>(grid).inputMethodQuery(Qt::ImEnabled).toBool());
        KeyLog log(grid);
        QInputMethodEvent composing(QStringLiteral("きんむ"), {});
        QApplication::sendEvent(&grid, &composing);
        QVERIFY(log.events.isEmpty());
        QInputMethodEvent commit;
        commit.setCommitString(QStringLiteral("勤務𠮷"));
        QApplication::sendEvent(&grid, &commit);
        QCOMPARE(log.events,
                 (QStringList{QStringLiteral("press 勤"), QStringLiteral("press 務"), QStringLiteral("press 𠮷")}));
    }

    void gridNeverEditsACellItself() {
        Grid grid;
        shapeEditorGrid(grid, 2, 3);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        const QRect cell = grid.visualRect(grid.currentIndex());
        QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, cell.center());
        QTest::keyClick(&grid, Qt::Key_F2);
        QTest::keyClicks(&grid, QStringLiteral("xyz"));
        QTest::keyClick(&grid, Qt::Key_Backspace);
        QTest::keyClick(&grid, Qt::Key_Delete);
        QTest::keyClick(&grid, Qt::Key_Return);
        QVERIFY(grid.findChildren<QLineEdit*>().isEmpty());
        for (int row = 0; row < grid.rows(); ++row) {
            for (int col = 0; col < grid.cols(); ++col) {
                QCOMPARE(grid.textMatrix(row, col), cellName(row, col));
            }
        }
        // Typing is not a search either: the current cell stays.
        QCOMPARE(grid.row(), 1);
        QCOMPARE(grid.col(), 1);
    }

    void enterStaysInTheGridEscapeReachesTheScreen() {
        QDialog dialog;
        auto* grid = new Grid(&dialog);
        auto* button = new QPushButton(QStringLiteral("登 録"), &dialog);
        button->setDefault(true);
        auto* layout = new QVBoxLayout(&dialog);
        layout->addWidget(grid);
        layout->addWidget(button);
        QSignalSpy clicked(button, &QPushButton::clicked);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_Return);
        QCOMPARE(clicked.count(), 0);
        QVERIFY(dialog.isVisible());
        QTest::keyClick(grid, Qt::Key_Escape);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(!dialog.isVisible());
    }

    void rowNumbersAreToldOnceAfterAFill() {
        Grid grid;
        shapeEditorGrid(grid, 5, 3);
        QSignalSpy headers(grid.model(), &QAbstractItemModel::headerDataChanged);
        for (int row = 1; row <= 5; ++row) {
            grid.setTextMatrix(row, 0, QString::number(row));
        }
        QCOMPARE(grid.model()->headerData(4, Qt::Vertical).toString(), QStringLiteral("5"));
        QCoreApplication::sendPostedEvents(grid.model());
        QCOMPARE(headers.count(), 1);
        QCOMPARE(headers.at(0), (QList<QVariant>{QVariant::fromValue(Qt::Vertical), 0, 4}));
    }

    void batchFillOfALargeGrid() {
        constexpr int kRows = 100000;
        Grid grid;
        grid.setCols(8);
        QSignalSpy changed(grid.model(), &QAbstractItemModel::dataChanged);
        QSignalSpy inserted(grid.model(), &QAbstractItemModel::rowsInserted);
        QSignalSpy reset(grid.model(), &QAbstractItemModel::modelReset);
        {
            GridBatch batch(grid);
            for (int row = 1; row <= kRows; ++row) {
                grid.setRows(row + 1);
                grid.setTextMatrix(row, 0, QString::number(row));
                grid.setRow(row);
                for (int col = 1; col < 8; ++col) {
                    grid.setCol(col);
                    grid.setText(cellName(row, col));
                }
            }
            grid.setColWidth(0, 300);
        }
        QCOMPARE(changed.count(), 0);
        QCOMPARE(inserted.count(), 0);
        QCOMPARE(reset.count(), 1);
        QCOMPARE(grid.rows(), kRows + 1);
        QCOMPARE(grid.model()->rowCount(), kRows);
        QCOMPARE(grid.textMatrix(kRows, 7), cellName(kRows, 7));
        QCOMPARE(grid.model()->headerData(kRows - 1, Qt::Vertical).toString(), QString::number(kRows));
        QCOMPARE(grid.currentIndex(), grid.model()->index(kRows - 1, 6));
        QCOMPARE(grid.verticalHeader()->sizeHint().width(), tsumiki::twipsToPixels(300, grid.logicalDpiX()));
        QVERIFY(grid.removeItems(1, kRows - 1));
        QCOMPARE(grid.textMatrix(1, 7), cellName(kRows, 7));
    }
};

QTEST_MAIN(TestGrid)
#include "tst_grid.moc"
