#include "sheets/form5.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "sheets/sheetcontent.h"
#include "ui/grid/grid.h"
#include "ui/widgets.h"

namespace tsumiki {
namespace {

struct Column {
    const char16_t* header;
    int twips;
};
// The last column holds the user ID each line was computed for; it is not shown.
const Column kColumns[] = {{u"ニックネーム", 1200}, {u"時間", 600}, {u"金額", 800}, {u"", 0}};

}  // namespace

Form5::Form5(AppContext& context, QWidget* parent) : QDialog(parent), context_(context) {
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("勤務表全員画面"));

    auto* title = makeLabel(this, "Label1", QStringLiteral("全員勤務時間一覧"));
    month_ = makeLabel(this, "Label2", QStringLiteral("○○月"));
    QFont heading = title->font();
    heading.setPointSizeF(heading.pointSizeF() * 1.3);
    heading.setBold(true);
    title->setFont(heading);
    month_->setFont(heading);
    grid_ = new Grid(this);
    grid_->setObjectName(QStringLiteral("MSFlexGrid1"));
    QFont tableFont = grid_->font();
    tableFont.setPointSizeF(kSheetGridPointSize);
    grid_->setFont(tableFont);
    auto* exportButton = makeButton(this, "Command1", QStringLiteral("Excel出力"));
    // The workbook export is not available yet; the button stays visible where it belongs.
    exportButton->setEnabled(false);
    auto* back = makeButton(this, "cmdEnd", QStringLiteral("戻る"));

    auto* header = new QHBoxLayout;
    header->addWidget(title);
    header->addSpacing(24);
    header->addWidget(month_);
    header->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(back);
    buttons->addStretch();
    buttons->addWidget(exportButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(header);
    layout->addWidget(grid_, 1);
    layout->addLayout(buttons);

    connect(back, &QPushButton::clicked, this, &QDialog::reject);
}

void Form5::showEvent(QShowEvent* event) {
    if (!loaded_) {
        load();
    }
    QDialog::showEvent(event);
}

void Form5::load() {
    loaded_ = true;
    fill();
    grid_->widenColumnsToFitText();
    grid_->setMinimumSize(grid_->sizeForDataRows(12));
}

void Form5::fill() {
    GridBatch batch(*grid_);
    grid_->setCols(static_cast<int>(std::size(kColumns)));
    grid_->setFixedCols(0);
    grid_->setFixedRows(1);
    grid_->setRows(1);
    for (int c = 0; c < grid_->cols(); ++c) {
        grid_->setTextMatrix(0, c, QString::fromUtf16(kColumns[c].header));
        grid_->setColWidth(c, kColumns[c].twips);
        grid_->setColAlignment(c, Qt::AlignCenter);
    }
    const std::optional<QDate> monthStart = MonthStartFromTexts(sheetYear_, sheetMonth_);
    if (!monthStart) {
        // The selection screen refuses such a year; a sheet opened without one stays empty.
        return;
    }
    const QList<StaffSheetLine> lines = BuildStaffSheet(context_.store, *monthStart);
    grid_->setRows(static_cast<int>(lines.size()) + 1);
    for (int r = 1; r <= lines.size(); ++r) {
        const StaffSheetLine& line = lines[r - 1];
        grid_->setTextMatrix(r, 0, line.userName);
        grid_->setTextMatrix(r, 1, line.hours);
        grid_->setTextMatrix(r, 2, line.amount);
        grid_->setTextMatrix(r, 3, line.userId);
    }
    month_->setText(MonthText(*monthStart));
}

}  // namespace tsumiki
