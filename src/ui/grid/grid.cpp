#include "ui/grid/grid.h"

#include <QFocusEvent>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>

namespace tsumiki {

namespace {

constexpr int kTwipsPerInch = 1440;

// What a key event types, as the editors should see it. Platforms disagree on the text of Ctrl+letter ("\x03"
// on some, "c" on others), so it is always reported as the control character; other chords type nothing.
QString typedText(const QKeyEvent& event) {
    QString text = event.text();
    // The Delete key is known by its key code alone; its DEL character would otherwise read as typed text.
    text.remove(QChar(0x7f));
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    if (modifiers & (Qt::AltModifier | Qt::MetaModifier)) {
        return {};
    }
    if (modifiers & Qt::ControlModifier) {
        if (text.size() != 1) {
            return {};
        }
        char16_t c = text.front().unicode();
        if (c >= u'a' && c <= u'z') {
            c = char16_t(c - u'a' + 1);
        } else if (c >= u'@' && c <= u'_') {
            c = char16_t(c - u'@');
        }
        return c < 0x20 ? QString(QChar(c)) : QString();
    }
    return text;
}

bool isNavigationKey(int key) {
    switch (key) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Home:
        case Qt::Key_End:
            return true;
        default:
            return false;
    }
}

// Keys the editors act on although they type nothing printable; the grid keeps them from the dialog, where
// Enter would press the default button.
bool isEditingKey(int key) {
    return key == Qt::Key_Backspace || key == Qt::Key_Delete || key == Qt::Key_Return || key == Qt::Key_Enter;
}

// The row header drawn for the fixed column. Its width is the column's, once set: without this a grid on screen
// would measure the texts of a few hundred row numbers again after every added row.
class FixedColumnHeader final : public QHeaderView {
public:
    explicit FixedColumnHeader(QWidget* parent) : QHeaderView(Qt::Vertical, parent) {}

    // -1: as wide as the texts need.
    void setColumnWidth(int pixels) {
        columnWidth_ = pixels;
        if (pixels >= 0) {
            setFixedWidth(pixels);
        } else {
            setMinimumWidth(0);
            setMaximumWidth(QWIDGETSIZE_MAX);
        }
        updateGeometry();
    }

    QSize sizeHint() const override {
        return columnWidth_ >= 0 ? QSize(columnWidth_, defaultSectionSize()) : QHeaderView::sizeHint();
    }

protected:
    // Sections look the same whichever row is current unless they highlight it, so the repaint of the two rows
    // is skipped: locating them measures every section again after rows were added.
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override {
        if (highlightSections()) {
            QHeaderView::currentChanged(current, previous);
        }
    }

private:
    int columnWidth_ = -1;
};

}  // namespace

int twipsToPixels(int twips, int logicalDpi) {
    return int((qint64(twips) * logicalDpi + kTwipsPerInch / 2) / kTwipsPerInch);
}

Grid::Grid(QWidget* parent) : QTableView(parent), model_(new GridModel(this)) {
    auto* fixedColumn = new FixedColumnHeader(this);
    setVerticalHeader(fixedColumn);
    setModel(model_);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    // Tab leaves the grid for the next control, as in every other control of a screen.
    setTabKeyNavigation(false);
    setCornerButtonEnabled(false);
    setSortingEnabled(false);
    setWordWrap(false);
    setShowGrid(true);
    setAttribute(Qt::WA_InputMethodEnabled);

    for (QHeaderView* header : {horizontalHeader(), verticalHeader()}) {
        header->setSectionsClickable(false);
        header->setSectionsMovable(false);
        header->setHighlightSections(false);
        header->setSectionResizeMode(QHeaderView::Fixed);
        // Narrow columns (300 twips is 20 pixels) must keep the width the screen gives them.
        header->setMinimumSectionSize(0);
    }
    horizontalHeader()->setStretchLastSection(false);
    verticalHeader()->setDefaultAlignment(Qt::AlignCenter);

    connect(model_, &QAbstractItemModel::modelReset, this, [this] {
        applyColumnWidths();
        clampCurrent();
        showCurrent();
    });

    model_->setRows(2);
    model_->setCols(4);
    model_->setFixedRows(1);
    model_->setFixedCols(1);
    row_ = 1;
    col_ = 1;
    applyRowHeight();
    applyColumnWidths();
    showCurrent();
}

bool Grid::setRows(int rows) {
    bool done = false;
    {
        // The selection model moves its own current index when rows go; ours stays on its address.
        QScopedValueRollback<bool> guard(movingCurrent_, true);
        done = model_->setRows(rows);
    }
    clampCurrent();
    showCurrent();
    return done;
}

bool Grid::appendSourceRows(std::shared_ptr<const CellSource> source, int count) {
    bool done = false;
    {
        QScopedValueRollback<bool> guard(movingCurrent_, true);
        done = model_->appendSourceRows(std::move(source), count);
    }
    clampCurrent();
    showCurrent();
    return done;
}

bool Grid::setCols(int cols) {
    bool done = false;
    {
        QScopedValueRollback<bool> guard(movingCurrent_, true);
        done = model_->setCols(cols);
    }
    if (done) {
        widthTwips_.resize(std::size_t(cols), -1);
        if (!model_->inBatch()) {
            applyColumnWidths();
        }
    }
    clampCurrent();
    showCurrent();
    return done;
}

bool Grid::setFixedRows(int fixed) {
    bool done = false;
    {
        QScopedValueRollback<bool> guard(movingCurrent_, true);
        done = model_->setFixedRows(fixed);
    }
    if (done && row_ < fixed && rows() > fixed) {
        row_ = fixed;
    }
    horizontalHeader()->setVisible(fixedRows() > 0);
    showCurrent();
    return done;
}

bool Grid::setFixedCols(int fixed) {
    bool done = false;
    {
        QScopedValueRollback<bool> guard(movingCurrent_, true);
        done = model_->setFixedCols(fixed);
    }
    if (done && col_ < fixed && cols() > fixed) {
        col_ = fixed;
    }
    if (!model_->inBatch()) {
        applyColumnWidths();
    }
    showCurrent();
    return done;
}

bool Grid::setRow(int row) {
    if (row < 0 || row >= rows()) {
        return false;
    }
    row_ = row;
    showCurrent();
    return true;
}

bool Grid::setCol(int col) {
    if (col < 0 || col >= cols()) {
        return false;
    }
    col_ = col;
    showCurrent();
    return true;
}

bool Grid::setColWidth(int col, int twips) {
    if (col < 0 || col >= cols() || twips < 0) {
        return false;
    }
    widthTwips_.resize(std::max(widthTwips_.size(), std::size_t(col) + 1), -1);
    widthTwips_[std::size_t(col)] = twips;
    if (!model_->inBatch()) {
        applyColumnWidths();
    }
    return true;
}

int Grid::twipsAsSet(int col) const {
    return std::size_t(col) < widthTwips_.size() ? widthTwips_[std::size_t(col)] : -1;
}

int Grid::colWidth(int col) const {
    if (col < 0 || col >= cols()) {
        return -1;
    }
    if (twipsAsSet(col) >= 0) {
        return twipsAsSet(col);
    }
    const int pixels = col < fixedCols() ? verticalHeader()->width() : columnWidth(col - fixedCols());
    return int((qint64(pixels) * kTwipsPerInch + logicalDpiX() / 2) / logicalDpiX());
}

bool Grid::removeItems(int row, int count) {
    bool done = false;
    {
        QScopedValueRollback<bool> guard(movingCurrent_, true);
        done = model_->removeItems(row, count);
    }
    // The current cell keeps its content when rows above it go, and takes the row that moves into the place
    // of a removed one.
    if (done && row_ >= row + count) {
        row_ -= count;
    } else if (done && row_ > row) {
        row_ = row;
    }
    clampCurrent();
    showCurrent();
    return done;
}

void Grid::applyColumnWidths() {
    const int dpi = logicalDpiX();
    QHeaderView* columns = horizontalHeader();
    for (int col = fixedCols(); col < cols(); ++col) {
        const int section = col - fixedCols();
        const int twips = twipsAsSet(col);
        columns->setSectionHidden(section, twips == 0);
        columns->resizeSection(section, twips > 0 ? twipsToPixels(twips, dpi) : columns->defaultSectionSize());
    }
    const int fixedTwips = fixedCols() > 0 ? twipsAsSet(0) : 0;
    verticalHeader()->setVisible(fixedTwips != 0);
    if (auto* fixedColumn = dynamic_cast<FixedColumnHeader*>(verticalHeader())) {
        fixedColumn->setColumnWidth(fixedTwips > 0 ? twipsToPixels(fixedTwips, dpi) : -1);
    }
    horizontalHeader()->setVisible(fixedRows() > 0);
}

void Grid::applyRowHeight() {
    // Derived from the font, so rows stay tidy whatever the scaling and the application font.
    const int textHeight = fontMetrics().height();
    verticalHeader()->setDefaultSectionSize(textHeight + std::max(4, textHeight / 2));
}

void Grid::clampCurrent() {
    row_ = std::clamp(row_, 0, std::max(0, rows() - 1));
    col_ = std::clamp(col_, 0, std::max(0, cols() - 1));
}

void Grid::showCurrent() {
    if (model_->inBatch()) {
        return;
    }
    const QModelIndex index = model_->indexOf(row_, col_);
    if (index.isValid() && index != currentIndex()) {
        QScopedValueRollback<bool> guard(movingCurrent_, true);
        // The program moves the current cell to fill cells, not to show them: the view stays where it is (after
        // a load, at the top) instead of following the fill to its last row.
        const bool scrolls = hasAutoScroll();
        setAutoScroll(false);
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        setAutoScroll(scrolls);
    }
}

void Grid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    // The base view lets the input method in only for editable cells; here typing always goes to the editors.
    setAttribute(Qt::WA_InputMethodEnabled);
    if (!movingCurrent_ && current.isValid()) {
        row_ = model_->gridRow(current);
        col_ = model_->gridCol(current);
    }
    if (!preedit_.isEmpty()) {
        viewport()->update();
    }
}

bool Grid::takeDataCellForUser() {
    if (model_->isDataCell(row_, col_)) {
        return true;
    }
    const QModelIndex shown = currentIndex();
    if (shown.isValid()) {
        row_ = model_->gridRow(shown);
        col_ = model_->gridCol(shown);
    } else if (model_->isDataCell(fixedRows(), fixedCols())) {
        row_ = fixedRows();
        col_ = fixedCols();
        showCurrent();
    } else {
        return false;
    }
    return true;
}

void Grid::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    // Typing with no data cell to be current (a grid of its header row alone) would edit a caption.
    if (!takeDataCellForUser()) {
        event->ignore();
        return;
    }
    // A key never acts on a cell out of sight: the view goes to the current cell first.
    scrollTo(currentIndex());
    const QPointer<Grid> alive(this);
    emit keyDown(key, event->modifiers());
    if (!alive) {
        return;
    }
    if (isNavigationKey(key)) {
        QTableView::keyPressEvent(event);
        return;
    }
    const QString typed = typedText(*event);
    emitTyped(typed);
    if (!alive) {
        return;
    }
    // Escape and keys that type nothing (function keys and the like) still reach the screen.
    if (key != Qt::Key_Escape && (!typed.isEmpty() || isEditingKey(key))) {
        event->accept();
    } else {
        event->ignore();
    }
}

void Grid::inputMethodEvent(QInputMethodEvent* event) {
    const QString preedit = event->preeditString();
    if (preedit != preedit_) {
        preedit_ = preedit;
        viewport()->update();
    }
    if (takeDataCellForUser()) {
        scrollTo(currentIndex());
        emitTyped(event->commitString());
    }
    event->accept();
}

QVariant Grid::inputMethodQuery(Qt::InputMethodQuery query) const {
    switch (query) {
        case Qt::ImEnabled:
            return true;
        case Qt::ImHints:
            return int(Qt::ImhNone);
        case Qt::ImCursorRectangle: {
            // The composition window opens at the current cell.
            const QRect cell = visualRect(currentIndex());
            return cell.isValid() ? cell.translated(viewport()->pos()) : QVariant(QRect());
        }
        case Qt::ImSurroundingText:
            return text();
        case Qt::ImCursorPosition:
        case Qt::ImAnchorPosition:
            return text().size();
        default:
            return QTableView::inputMethodQuery(query);
    }
}

void Grid::emitTyped(const QString& text) {
    const QPointer<Grid> alive(this);
    for (qsizetype i = 0; i < text.size() && alive;) {
        const qsizetype length =
            text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate() ? 2 : 1;
        emit keyPress(text.mid(i, length));
        i += length;
    }
}

void Grid::changeEvent(QEvent* event) {
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        applyRowHeight();
    }
}

void Grid::focusInEvent(QFocusEvent* event) {
    QTableView::focusInEvent(event);
    takeDataCellForUser();
    setAttribute(Qt::WA_InputMethodEnabled);
}

void Grid::focusOutEvent(QFocusEvent* event) {
    if (!preedit_.isEmpty()) {
        preedit_.clear();
        viewport()->update();
    }
    QTableView::focusOutEvent(event);
}

void Grid::paintEvent(QPaintEvent* event) {
    QTableView::paintEvent(event);
    const QModelIndex current = currentIndex();
    if (preedit_.isEmpty() || !current.isValid()) {
        return;
    }
    // The composition is shown where it will land: after the current cell's text, underlined.
    const QRect cell = visualRect(current).adjusted(1, 1, -1, -1);
    QPainter painter(viewport());
    painter.fillRect(cell, palette().base());
    const QString shown = text();
    QFont underlined = font();
    underlined.setUnderline(true);
    const int textWidth = fontMetrics().horizontalAdvance(shown);
    const int preeditWidth = QFontMetrics(underlined).horizontalAdvance(preedit_);
    const Qt::Alignment alignment = colAlignment(col_);
    int x = cell.left() + 2;
    if (alignment & Qt::AlignHCenter) {
        x = cell.left() + (cell.width() - textWidth - preeditWidth) / 2;
    } else if (alignment & Qt::AlignRight) {
        x = cell.right() - 2 - textWidth - preeditWidth;
    }
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(QRect(x, cell.top(), textWidth, cell.height()), Qt::AlignLeft | Qt::AlignVCenter, shown);
    painter.setFont(underlined);
    painter.drawText(QRect(x + textWidth, cell.top(), preeditWidth + 1, cell.height()),
                     Qt::AlignLeft | Qt::AlignVCenter, preedit_);
}

void Grid::widenColumnsToFitText(int sampleRows) {
    // Room for the cell's margins and grid line around the text, as the style draws them.
    const int padding = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1) + 4;
    const QFontMetrics metrics(font());
    const QFontMetrics headerMetrics(horizontalHeader()->font());
    auto measured = [&](int r) { return sampleRows < 0 || r < fixedRows() + sampleRows || r >= rows() - sampleRows; };
    for (int c = 0; c < cols(); ++c) {
        const int view = c - fixedCols();
        if (view < 0 || isColumnHidden(view) || columnWidth(view) == 0) {
            continue;
        }
        int needed = 0;
        for (int r = 0; r < rows(); r = measured(r + 1) ? r + 1 : std::max(r + 1, rows() - sampleRows)) {
            const QFontMetrics& m = r < fixedRows() ? headerMetrics : metrics;
            needed = std::max(needed, m.horizontalAdvance(textMatrix(r, c)) + padding);
        }
        if (needed > columnWidth(view)) {
            widen(c, needed);
        }
    }
    if (sampleRows >= 0 && fixedCols() > 0 && verticalHeader()->isVisible()) {
        const int needed = QFontMetrics(verticalHeader()->font()).horizontalAdvance(QString::number(rows())) + padding;
        if (needed > verticalHeader()->width()) {
            widen(0, needed);
        }
    }
    applyColumnWidths();
}

// Kept as the column's width in twips, so that it stays when the grid is reset (a range delete, say).
void Grid::widen(int col, int pixels) {
    const int dpi = logicalDpiX();
    widthTwips_.resize(std::max(widthTwips_.size(), std::size_t(col) + 1), -1);
    widthTwips_[std::size_t(col)] = int((qint64(pixels) * kTwipsPerInch + dpi - 1) / dpi);
}

QSize Grid::sizeForDataRows(int dataRows) const {
    const int frame = 2 * frameWidth();
    const int rowHeader = verticalHeader()->isVisible() ? verticalHeader()->width() : 0;
    const int columnHeader = horizontalHeader()->isVisible() ? horizontalHeader()->height() : 0;
    const int width = frame + rowHeader + horizontalHeader()->length() + verticalScrollBar()->sizeHint().width();
    const int height = frame + columnHeader + dataRows * verticalHeader()->defaultSectionSize();
    return {width, height};
}

}  // namespace tsumiki
