#include "maintenance/tableeditor.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include "maintenance/celledit.h"
#include "maintenance/gridcontent.h"
#include "store/guardedrewrite.h"
#include "store/lookups.h"
#include "ui/controlnames.h"
#include "ui/controls.h"
#include "ui/grid/grid.h"

namespace tsumiki {
namespace {

constexpr int kNumberColumnTwips = 300;
const QString kError = QStringLiteral("エラー");
const QString kUpdateError = QStringLiteral("更新エラー");
const QString kUpdateQuestion = QStringLiteral("更新確認");
const QString kDeleteQuestion = QStringLiteral("行の削除確認");

}  // namespace

namespace n = names::editor;

TableEditor::TableEditor(AppContext& context, const EditorTable& table, QWidget* parent)
    : Screen(context, table.screenName, QString::fromUtf16(table.caption), parent), table_(table) {
    buildControls();
}

void TableEditor::buildControls() {
    grid_ = new Grid(this);
    grid_->setObjectName(n::grid);
    grid_->setMinimumSize(twipsToPixels(table_.gridTwips, logicalDpiX()), twipsToPixels(5895, logicalDpiY()));

    QPushButton* back = makeButton(this, n::backButton, QStringLiteral("戻る"));
    QPushButton* update = makeButton(this, n::saveButton, QStringLiteral("登 録"));
    QPushButton* add = makeButton(this, n::addButton, QStringLiteral("行追加"));
    QPushButton* remove = makeButton(this, n::deleteButton, QStringLiteral("行削除"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(back);
    buttons->addWidget(update);
    buttons->addStretch();
    buttons->addWidget(add);
    auto numberBox = [&](QLatin1String name, const QString& accessibleName, int maxLength) {
        QLineEdit* box = makeDigitBox(this, name, maxLength, context().boxes, accessibleName);
        box->setMaximumWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("0000000")) + 12);
        buttons->addWidget(box);
        return box;
    };
    if (table_.deleteBy == DeleteBy::Range) {
        deleteFrom_ = numberBox(n::deleteFromBox, QStringLiteral("削除する最初の行"), kNoMaxLength);
        buttons->addWidget(makeLabel(this, n::rangeLabel, QStringLiteral("～")));
        deleteTo_ = numberBox(n::deleteToBox, QStringLiteral("削除する最後の行"), kNoMaxLength);
    } else {
        deleteFrom_ = numberBox(n::deleteRowBox, QStringLiteral("削除する行"), 3);
    }
    buttons->addWidget(remove);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grid_, 1);
    layout->addLayout(buttons);

    connect(grid_, &Grid::keyDown, this, &TableEditor::onKeyDown);
    connect(grid_, &Grid::keyPress, this, &TableEditor::onKeyPress);
    connect(back, &QPushButton::clicked, this, &QDialog::reject);
    connect(update, &QPushButton::clicked, this, &TableEditor::save);
    connect(add, &QPushButton::clicked, this, &TableEditor::addRow);
    connect(remove, &QPushButton::clicked, this,
            [this] { table_.deleteBy == DeleteBy::Range ? deleteRange() : deleteRow(); });
}

void TableEditor::load() {
    LoadedRecords records = table_.load(context().store);
    loadedBytes_ = records.table->bytes();
    keptRows_.clear();
    {
        GridBatch batch(*grid_);
        grid_->setCols(int(table_.columns.size()) + 1);
        // A blank first row waits for a record to take its place, or for typing when there is none.
        grid_->setRows(table_.whenEmpty == WhenEmpty::NoRow || !records.rows.empty() ? 1 : 2);
        grid_->setTextMatrix(0, 0, QString());
        grid_->setColWidth(0, kNumberColumnTwips);
        grid_->setColAlignment(0, Qt::AlignCenter);
        for (std::size_t c = 0; c < table_.columns.size(); ++c) {
            const int col = int(c) + 1;
            grid_->setTextMatrix(0, col, QString::fromUtf16(table_.columns[c].caption));
            grid_->setColWidth(col, table_.columns[c].twips);
            grid_->setColAlignment(col, Qt::AlignCenter);
        }
        source_ = std::make_shared<const RecordSource>(table_, std::move(records));
        grid_->appendSourceRows(source_, source_->count());
        loadedFacts_ = factsOfLoaded(table_, *source_);
        // Where the editor opens is the current row, so a key typed at once changes a row in view.
        const bool newest = table_.opensAt == OpensAt::NewestRow;
        grid_->setRow(newest ? grid_->rows() - 1 : std::min(1, grid_->rows() - 1));
        grid_->setCol(1);
    }
    // The widths in twips were made for a smaller font; what the first and the last rows need is given.
    grid_->widenColumnsToFitText(100);
    const QScreen* shownOn = screen();
    const int widest = shownOn ? shownOn->availableGeometry().width() * 9 / 10 : QWIDGETSIZE_MAX;
    grid_->setMinimumWidth(std::min(widest, std::max(grid_->minimumWidth(), grid_->sizeForDataRows(0).width())));
    if (table_.opensAt == OpensAt::NewestRow) {
        QTimer::singleShot(0, grid_, [grid = grid_] { grid->scrollToBottom(); });
    }
}

int TableEditor::dataRows() const {
    return grid_->rows() - 1;
}

void TableEditor::setCurrentText(const QString& text) {
    if (grid_->rows() > 1) {
        grid_->setText(text);
    }
}

void TableEditor::onKeyDown(int key, Qt::KeyboardModifiers modifiers) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    switch (cellKeyAction(key, modifiers)) {
        case CellKeyAction::Clear:
            setCurrentText(QString());
            break;
        case CellKeyAction::Copy:
            clipboard->setText(grid_->text());
            break;
        case CellKeyAction::Paste:
            setCurrentText(clipboard->text());
            break;
        case CellKeyAction::None:
            break;
    }
}

void TableEditor::onKeyPress(const QString& character) {
    if (const std::optional<QString> changed = cellAfterTyping(grid_->text(), character)) {
        setCurrentText(*changed);
    }
}

void TableEditor::addRow() {
    const int row = grid_->rows();
    grid_->setRows(row + 1);
    grid_->setTextMatrix(row, 0, QString::number(row));
}

std::optional<int> TableEditor::rowNumber(const QString& text) const {
    if (text.isEmpty() || !std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; })) {
        return std::nullopt;
    }
    bool ok = false;
    const int number = text.toInt(&ok);
    if (!ok || number < 1 || number > dataRows()) {
        return std::nullopt;
    }
    return number;
}

void TableEditor::deleteRow() {
    const QString typed = deleteFrom_->text();
    if (typed.isEmpty()) {
        context().boxes.warn(kError, QStringLiteral("削除する行を入力してください。"));
        return;
    }
    const std::optional<int> row = rowNumber(typed);
    if (!row) {
        context().boxes.warn(kError, QStringLiteral("行が存在しません"));
        return;
    }
    if (context().boxes.ask(kDeleteQuestion, typed + QStringLiteral("行目を削除します。"))) {
        removeRows(*row, *row);
    }
    grid_->renumber();
}

void TableEditor::deleteRange() {
    const QString from = deleteFrom_->text();
    const QString to = deleteTo_->text();
    if (from.isEmpty() && to.isEmpty()) {
        context().boxes.warn(kError, QStringLiteral("削除する行を入力してください。"));
        return;
    }
    const std::optional<int> first = rowNumber(from);
    const std::optional<int> last = rowNumber(to);
    if ((!from.isEmpty() && !first) || (!to.isEmpty() && !last)) {
        context().boxes.warn(kError, QStringLiteral("存在しない行を含んでいます。"));
        return;
    }
    if (first && last && *first > *last) {
        context().boxes.warn(kError, QStringLiteral("削除対象行の大小関係が正しくありません。"));
        return;
    }
    const QString question = first && last
                                 ? from + QStringLiteral("行目から、") + to + QStringLiteral("行目を削除します。")
                                 : (first ? from : to) + QStringLiteral("行目を削除します。");
    if (context().boxes.ask(kDeleteQuestion, question)) {
        removeRows(first.value_or(*last), last.value_or(*first));
    }
    grid_->renumber();
}

void TableEditor::removeRows(int first, int last) {
    const int count = last - first + 1;
    GridBatch batch(*grid_);
    if (count >= dataRows()) {
        grid_->setRows(grid_->rows() + 1);
    }
    grid_->removeItems(first, count);
}

void TableEditor::save() {
    MessageBoxes& boxes = context().boxes;
    const TableStore& store = context().store;
    auto confirmed = [&] { return boxes.ask(kUpdateQuestion, GetMessageText(store, QStringLiteral("E00002"))); };
    if (table_.ask == AskToSave::BeforeChecks && !confirmed()) {
        return;
    }
    const GridRows rows(table_, *grid_, *source_, loadedFacts_);
    if (const std::optional<QString> failed = table_.check(rows, store)) {
        boxes.warn(kUpdateError, *failed);
        return;
    }
    std::variant<TableWriter, QString> content = rows.content(keptRows_);
    if (const QString* refused = std::get_if<QString>(&content)) {
        boxes.warn(kUpdateError, *refused);
        return;
    }
    if (table_.ask == AskToSave::AfterChecks && !confirmed()) {
        return;
    }
    const QString fileName = schemaOf(table_.table).fileName;
    const GuardedRewriteResult result = rewriteUnlessChanged(
        context().store, table_.table, loadedBytes_, std::get<TableWriter>(std::move(content)), context().clock.now());
    switch (result.outcome) {
        case GuardedRewriteResult::Outcome::ChangedSinceLoad:
            boxes.warn(kUpdateError, QStringLiteral("ファイル「%1」は、この画面を開いた後に別の画面またはプログラムで"
                                                    "変更されたため、登録を中止しました（ファイルは変更していません）。"
                                                    "画面を閉じて開き直してから、もう一度修正してください。")
                                         .arg(fileName));
            return;
        case GuardedRewriteResult::Outcome::Refused:
            boxes.warn(kUpdateError, result.refused->message + QStringLiteral("\nファイルは変更していません。"));
            return;
        case GuardedRewriteResult::Outcome::Written:
            break;
    }
    loadedBytes_ = result.written;
    keptRows_ += result.keptAppended;
    boxes.info(kUpdateQuestion, GetMessageText(store, QString::fromUtf16(table_.completionId)));
    if (result.keptAppendedRows > 0) {
        boxes.info(kUpdateQuestion, QStringLiteral("この画面を開いた後に追加された%1行は、消さずにファイルの最後に"
                                                   "残しました。表示するには画面を開き直してください。")
                                        .arg(result.keptAppendedRows));
    }
}

}  // namespace tsumiki
