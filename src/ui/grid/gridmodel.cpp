#include "ui/grid/gridmodel.h"

#include <QBrush>
#include <algorithm>
#include <climits>
#include <numeric>

namespace tsumiki {

GridModel::GridModel(QObject* parent) : QAbstractTableModel(parent) {}

bool GridModel::setRows(int rows) {
    if (rows < fixedRows_ || rows < 0) {
        return false;
    }
    if (rows == rows_) {
        return true;
    }
    const bool tell = !inBatch();
    if (rows > rows_) {
        if (tell) {
            beginInsertRows({}, rows_ - fixedRows_, rows - fixedRows_ - 1);
        }
        appendRows(rows - rows_);
        if (tell) {
            endInsertRows();
        }
    } else {
        if (tell) {
            beginRemoveRows({}, rows - fixedRows_, rows_ - fixedRows_ - 1);
        }
        releaseRows(rows, rows_ - rows);
        dropColorsFromRow(rows);
        if (tell) {
            endRemoveRows();
        }
    }
    return true;
}

bool GridModel::setCols(int cols) {
    if (cols < fixedCols_ || cols < 0) {
        return false;
    }
    if (cols == cols_) {
        return true;
    }
    const bool tell = !inBatch();
    const bool growing = cols > cols_;
    if (tell) {
        if (growing) {
            beginInsertColumns({}, cols_ - fixedCols_, cols - fixedCols_ - 1);
        } else {
            beginRemoveColumns({}, cols - fixedCols_, cols_ - fixedCols_ - 1);
        }
    }
    compact(cols);
    alignments_.resize(std::size_t(cols));
    if (!growing) {
        dropColorsFromCol(cols);
    }
    if (tell) {
        if (growing) {
            endInsertColumns();
        } else {
            endRemoveColumns();
        }
    }
    return true;
}

bool GridModel::setFixedRows(int fixed) {
    if (fixed < 0 || fixed > 1 || fixed > rows_) {
        return false;
    }
    if (fixed != fixedRows_) {
        resetFixed(fixed, fixedCols_);
    }
    return true;
}

bool GridModel::setFixedCols(int fixed) {
    if (fixed < 0 || fixed > 1 || fixed > cols_) {
        return false;
    }
    if (fixed != fixedCols_) {
        resetFixed(fixedRows_, fixed);
    }
    return true;
}

// Which cells are data and which are headers changes everywhere at once.
void GridModel::resetFixed(int fixedRows, int fixedCols) {
    const bool tell = !inBatch();
    if (tell) {
        beginResetModel();
    }
    fixedRows_ = fixedRows;
    fixedCols_ = fixedCols;
    if (tell) {
        endResetModel();
    }
}

QString GridModel::text(int row, int col) const {
    if (!contains(row, col)) {
        return {};
    }
    return isSourceRow(row) ? sourceText(row, col) : cells_[offset(row, col)];
}

QString GridModel::sourceText(int row, int col) const {
    if (col < fixedCols_) {
        return QString::number(row - fixedRows_ + 1);
    }
    return source_->text(-rowSlots_[std::size_t(row)] - 1, col);
}

void GridModel::materialize(int row) {
    int slot = 0;
    if (freeSlots_.empty()) {
        slot = slots_++;
        cells_.resize(std::size_t(slots_) * std::size_t(cols_));
    } else {
        slot = freeSlots_.back();
        freeSlots_.pop_back();
    }
    for (int col = 0; col < cols_; ++col) {
        cells_[std::size_t(slot) * std::size_t(cols_) + std::size_t(col)] = sourceText(row, col);
    }
    rowSlots_[std::size_t(row)] = slot;
}

bool GridModel::appendSourceRows(std::shared_ptr<const CellSource> source, int count) {
    const bool otherSourceShown = source_ && source_ != source &&
                                  std::any_of(rowSlots_.begin(), rowSlots_.end(), [](int slot) { return slot < 0; });
    if (fixedRows_ == 0 || count < 0 || !source || otherSourceShown) {
        return false;
    }
    source_ = std::move(source);
    const bool tell = !inBatch();
    if (tell && count > 0) {
        beginInsertRows({}, rows_ - fixedRows_, rows_ - fixedRows_ + count - 1);
    }
    rowSlots_.reserve(rowSlots_.size() + std::size_t(count));
    for (int i = 0; i < count; ++i) {
        rowSlots_.push_back(-(i + 1));
    }
    rows_ += count;
    if (tell && count > 0) {
        endInsertRows();
    }
    return true;
}

void GridModel::renumber() {
    if (fixedCols_ == 0) {
        return;
    }
    for (int row = fixedRows_; row < rows_; ++row) {
        if (!isSourceRow(row)) {
            cells_[offset(row, 0)] = QString::number(row - fixedRows_ + 1);
        }
    }
    if (!inBatch() && rows_ > fixedRows_) {
        emit headerDataChanged(Qt::Vertical, 0, rows_ - fixedRows_ - 1);
    }
}

bool GridModel::setText(int row, int col, const QString& text) {
    if (!contains(row, col)) {
        return false;
    }
    if (isSourceRow(row)) {
        if (sourceText(row, col) == text) {
            return true;
        }
        materialize(row);
    }
    QString& cell = cells_[offset(row, col)];
    if (cell != text) {
        cell = text;
        notifyCellChanged(row, col, Qt::DisplayRole);
    }
    return true;
}

QColor GridModel::backColor(int row, int col) const {
    const auto it = colors_.find({row, col});
    return it == colors_.end() ? QColor() : it->second;
}

bool GridModel::setBackColor(int row, int col, const QColor& color) {
    if (!contains(row, col)) {
        return false;
    }
    if (color.isValid()) {
        colors_[{row, col}] = color;
    } else {
        colors_.erase({row, col});
    }
    notifyCellChanged(row, col, Qt::BackgroundRole);
    return true;
}

Qt::Alignment GridModel::colAlignment(int col) const {
    if (col < 0 || col >= cols_ || !alignments_[std::size_t(col)]) {
        return {};
    }
    return *alignments_[std::size_t(col)];
}

bool GridModel::setColAlignment(int col, Qt::Alignment alignment) {
    if (col < 0 || col >= cols_) {
        return false;
    }
    alignments_[std::size_t(col)] = alignment;
    if (inBatch()) {
        return true;
    }
    if (col < fixedCols_) {
        if (rows_ > fixedRows_) {
            emit headerDataChanged(Qt::Vertical, 0, rows_ - fixedRows_ - 1);
        }
        return true;
    }
    if (fixedRows_ > 0) {
        emit headerDataChanged(Qt::Horizontal, col - fixedCols_, col - fixedCols_);
    }
    if (rows_ > fixedRows_) {
        emit dataChanged(index(0, col - fixedCols_), index(rows_ - fixedRows_ - 1, col - fixedCols_),
                         {Qt::TextAlignmentRole});
    }
    return true;
}

bool GridModel::removeItems(int row, int count) {
    if (row < fixedRows_ || count < 1 || count > rows_ - row || rows_ - fixedRows_ - count < 1) {
        return false;
    }
    const bool tell = !inBatch();
    if (tell) {
        beginRemoveRows({}, row - fixedRows_, row - fixedRows_ + count - 1);
    }
    releaseRows(row, count);
    const int below = row + count;
    colors_.erase(colors_.lower_bound({row, INT_MIN}), colors_.lower_bound({below, INT_MIN}));
    // Every later key moves to a smaller one that no remaining key holds, so nodes can be re-keyed during the
    // walk without disturbing the ones still ahead.
    for (auto it = colors_.lower_bound({below, INT_MIN}); it != colors_.end();) {
        auto node = colors_.extract(it++);
        node.key().first -= count;
        colors_.insert(std::move(node));
    }
    if (tell) {
        endRemoveRows();
    }
    return true;
}

void GridModel::beginBatch() {
    if (batchDepth_++ == 0) {
        beginResetModel();
    }
}

void GridModel::endBatch() {
    if (batchDepth_ == 0) {
        return;
    }
    if (--batchDepth_ == 0) {
        endResetModel();
    }
}

QModelIndex GridModel::indexOf(int row, int col) const {
    return isDataCell(row, col) ? index(row - fixedRows_, col - fixedCols_) : QModelIndex();
}

int GridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_ - fixedRows_;
}

int GridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : cols_ - fixedCols_;
}

QVariant GridModel::cellData(int row, int col, int role) const {
    if (!contains(row, col)) {
        return {};
    }
    switch (role) {
        case Qt::DisplayRole:
            return text(row, col);
        case Qt::BackgroundRole: {
            const QColor color = backColor(row, col);
            return color.isValid() ? QVariant(QBrush(color)) : QVariant();
        }
        case Qt::TextAlignmentRole: {
            const auto& alignment = alignments_[std::size_t(col)];
            return alignment ? QVariant(alignment->toInt()) : QVariant();
        }
        default:
            return {};
    }
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    const int row = gridRow(index);
    const int col = gridCol(index);
    return cellData(row, col, role);
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    // The header shows the fixed row (horizontal) or the fixed column (vertical); without one there is no header.
    int row = 0;
    int col = 0;
    if (orientation == Qt::Horizontal) {
        if (fixedRows_ == 0) {
            return {};
        }
        col = section + fixedCols_;
    } else {
        if (fixedCols_ == 0) {
            return {};
        }
        row = section + fixedRows_;
    }
    return cellData(row, col, role);
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void GridModel::notifyCellChanged(int row, int col, int role) {
    if (inBatch()) {
        return;
    }
    if (row >= fixedRows_ && col >= fixedCols_) {
        const QModelIndex changed = index(row - fixedRows_, col - fixedCols_);
        emit dataChanged(changed, changed, {role});
    } else if (row < fixedRows_ && col >= fixedCols_) {
        emit headerDataChanged(Qt::Horizontal, col - fixedCols_, col - fixedCols_);
    } else if (col < fixedCols_ && row >= fixedRows_) {
        deferRowHeaderChange(row - fixedRows_);
    }
    // The corner cell (fixed row and fixed column) is not drawn.
}

// A header view answers a change of one section by measuring the positions of all sections whenever rows
// were added since it last did, so telling it of each row number as a screen writes them would make filling
// a grid row by row quadratic. The changes are gathered and told once, when control returns to the event
// loop; the views paint no earlier than that anyway.
void GridModel::deferRowHeaderChange(int section) {
    if (pendingRowHeaders_.first < 0) {
        pendingRowHeaders_ = {section, section};
        QMetaObject::invokeMethod(this, &GridModel::flushRowHeaderChanges, Qt::QueuedConnection);
    } else {
        pendingRowHeaders_.first = std::min(pendingRowHeaders_.first, section);
        pendingRowHeaders_.second = std::max(pendingRowHeaders_.second, section);
    }
}

void GridModel::flushRowHeaderChanges() {
    const auto [first, last] = pendingRowHeaders_;
    pendingRowHeaders_ = {-1, -1};
    const int sections = rows_ - fixedRows_;
    if (first < 0 || first >= sections || fixedCols_ == 0 || inBatch()) {
        return;
    }
    emit headerDataChanged(Qt::Vertical, first, std::min(last, sections - 1));
}

void GridModel::appendRows(int count) {
    for (int i = 0; i < count; ++i) {
        if (freeSlots_.empty()) {
            rowSlots_.push_back(slots_++);
        } else {
            rowSlots_.push_back(freeSlots_.back());
            freeSlots_.pop_back();
        }
    }
    cells_.resize(std::size_t(slots_) * std::size_t(cols_));
    rows_ += count;
}

void GridModel::releaseRows(int first, int count) {
    for (int row = first; row < first + count; ++row) {
        if (isSourceRow(row)) {
            continue;
        }
        const auto block = cells_.begin() + std::ptrdiff_t(offset(row, 0));
        std::fill(block, block + cols_, QString());
        freeSlots_.push_back(rowSlots_[std::size_t(row)]);
    }
    const auto firstSlot = rowSlots_.begin() + first;
    rowSlots_.erase(firstSlot, firstSlot + count);
    rows_ -= count;
    // Emptied blocks are kept for rows to come, but not more of them than there are rows with texts of their own.
    if (freeSlots_.size() > 1024 && freeSlots_.size() > std::size_t(slots_) - freeSlots_.size()) {
        compact(cols_);
    }
}

// Lays the rows with texts of their own out again in grid order with the given number of columns, dropping
// emptied blocks; source rows stay as they are.
void GridModel::compact(int cols) {
    const auto own = std::count_if(rowSlots_.begin(), rowSlots_.end(), [](int slot) { return slot >= 0; });
    std::vector<QString> laidOut(std::size_t(own) * std::size_t(cols));
    const int kept = std::min(cols, cols_);
    int next = 0;
    for (int row = 0; row < rows_; ++row) {
        if (isSourceRow(row)) {
            continue;
        }
        for (int col = 0; col < kept; ++col) {
            laidOut[std::size_t(next) * std::size_t(cols) + std::size_t(col)] = std::move(cells_[offset(row, col)]);
        }
        rowSlots_[std::size_t(row)] = next++;
    }
    cells_ = std::move(laidOut);
    cols_ = cols;
    slots_ = next;
    freeSlots_.clear();
}

void GridModel::dropColorsFromRow(int firstRow) {
    colors_.erase(colors_.lower_bound({firstRow, INT_MIN}), colors_.end());
}

void GridModel::dropColorsFromCol(int firstCol) {
    std::erase_if(colors_, [firstCol](const auto& entry) { return entry.first.second >= firstCol; });
}

}  // namespace tsumiki
