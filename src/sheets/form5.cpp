#include "sheets/form5.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "sheets/exportbutton.h"
#include "sheets/sheetcontent.h"
#include "sheets/sheetgrid.h"
#include "sheets/workbookexport.h"
#include "ui/controlnames.h"
#include "ui/controls.h"
#include "ui/grid/grid.h"

namespace tsumiki {
namespace {

// The last column holds the user ID each line was computed for; it is not shown.
const SheetColumn kColumns[] = {{u"ニックネーム", 1200}, {u"時間", 600}, {u"金額", 800}, {u"", 0}};

}  // namespace

Form5::Form5(AppContext& context, QWidget* parent)
    : SheetScreen(context, names::form5::screen, QStringLiteral("勤務表全員画面"), parent) {
    auto* title = makeLabel(this, QLatin1String("Label1"), QStringLiteral("全員勤務時間一覧"));
    month_ = makeDataLabel(this, names::sheet::month, QStringLiteral("対象月"), QStringLiteral("○○月"));
    scaleFont(*title, 1.3, true);
    scaleFont(*month_, 1.3, true);
    grid_ = makeSheetGrid(this);
    exportButton_ = makeButton(this, names::sheet::exportButton, QStringLiteral("Excel出力"));
    auto* back = makeButton(this, names::sheet::backButton, QStringLiteral("戻る"));

    auto* header = new QHBoxLayout;
    header->addWidget(title);
    header->addSpacing(24);
    header->addWidget(month_);
    header->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(back);
    buttons->addStretch();
    buttons->addWidget(exportButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(header);
    layout->addWidget(grid_, 1);
    layout->addLayout(buttons);

    connect(exportButton_, &QPushButton::clicked, this, &Form5::exportWorkbook);
    connect(back, &QPushButton::clicked, this, &QDialog::reject);
}

void Form5::load() {
    fill();
    fitSheetGrid(*grid_, 12);
}

void Form5::fill() {
    GridBatch batch(*grid_);
    shapeSheetGrid(*grid_, kColumns);
    grid_->setRows(1);
    const std::optional<QDate> monthStart = MonthStartFromTexts(sheetYear(), sheetMonth());
    if (!monthStart) {
        // The selection screen refuses such a year; a sheet opened without one stays empty.
        return;
    }
    const QList<StaffSheetLine> lines = BuildStaffSheet(context().store, *monthStart);
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

void Form5::exportWorkbook() {
    const ExportButtonHold hold(*exportButton_);
    StaffWorkbookContent content{month_->text(), {}};
    for (int r = 1; r < grid_->rows(); ++r) {
        content.lines.append({grid_->textMatrix(r, 0), grid_->textMatrix(r, 1), grid_->textMatrix(r, 2)});
    }
    WorkbookExport(context().store, context().boxes, context().spreadsheet, context().pause).exportStaff(content);
}

}  // namespace tsumiki
