#include "sheets/form4.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
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

const SheetColumn kColumns[] = {{u"日", 300},   {u"", 300},         {u"開始", 600}, {u"", 300},
                                {u"終了", 600}, {u"勤務時間", 800}, {u"同伴", 600}};
constexpr int kUnitPriceLength = 5;

}  // namespace

Form4::Form4(AppContext& context, QWidget* parent)
    : SheetScreen(context, names::form4::screen, QStringLiteral("勤務表個人画面"), parent) {
    grid_ = makeSheetGrid(this);
    nickname_ =
        makeDataLabel(this, names::form4::nickname, QStringLiteral("ニックネーム"), QStringLiteral("ニックネーム"));
    month_ = makeDataLabel(this, names::sheet::month, QStringLiteral("対象月"), QStringLiteral("○○月"));
    scaleFont(*nickname_, 1.3, true);
    scaleFont(*month_, 1.3, true);
    total_ = makeDataLabel(this, names::form4::total, QStringLiteral("勤務時間合計"), QStringLiteral("000：00"));
    auto* totalCaption = makeLabel(this, QLatin1String("Label3"), QStringLiteral("勤務時間合計："), total_);

    auto* frame = new QGroupBox(QStringLiteral("単価計算"), this);
    frame->setObjectName(QLatin1String("Frame1"));
    totalCopy_ =
        makeDataLabel(frame, names::form4::totalCopy, QStringLiteral("勤務時間合計"), QStringLiteral("000：00"));
    auto* times = makeLabel(frame, QLatin1String("Label5"), QStringLiteral("×"));
    unitPriceBox_ = makeDigitBox(frame, names::form4::unitPriceBox, kUnitPriceLength, context.boxes);
    unitPriceBox_->setText(QStringLiteral("10000"));
    unitPriceBox_->setAlignment(Qt::AlignRight);
    unitPriceBox_->setFixedWidth(unitPriceBox_->fontMetrics().horizontalAdvance(QStringLiteral("0000000")) + 16);
    auto* priceCaption = makeLabel(frame, QLatin1String("Label10"), QStringLiteral("単価"), unitPriceBox_);
    auto* equals = makeLabel(frame, QLatin1String("Label7"), QStringLiteral("＝"));
    amount_ = makeDataLabel(frame, names::form4::amount, QStringLiteral("金額"), QStringLiteral("0"));
    amount_->setMinimumWidth(amount_->fontMetrics().horizontalAdvance(QStringLiteral("000,000,000")));
    amount_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* amountCaption = makeLabel(frame, QLatin1String("Label11"), QStringLiteral("金額"), amount_);
    // A caption of the original layout that never changes; kept for its name, not shown.
    auto* unused = makeLabel(frame, QLatin1String("Label8"), QStringLiteral("000：00"));
    unused->hide();
    auto* recalc = makeButton(frame, names::form4::recalculateButton, QStringLiteral("再計算"));
    auto* calc = new QGridLayout(frame);
    calc->addWidget(priceCaption, 0, 2, Qt::AlignHCenter);
    calc->addWidget(amountCaption, 0, 4, Qt::AlignHCenter);
    calc->addWidget(totalCopy_, 1, 0, Qt::AlignRight);
    calc->addWidget(times, 1, 1);
    calc->addWidget(unitPriceBox_, 1, 2);
    calc->addWidget(equals, 1, 3);
    calc->addWidget(amount_, 1, 4);
    calc->addWidget(recalc, 1, 5);

    exportButton_ = makeButton(this, names::sheet::exportButton, QStringLiteral("Excel出力"));
    auto* back = makeButton(this, names::sheet::backButton, QStringLiteral("戻る"));

    auto* header = new QHBoxLayout;
    header->addWidget(nickname_);
    header->addSpacing(24);
    header->addWidget(month_);
    header->addStretch();
    auto* totals = new QHBoxLayout;
    totals->addWidget(totalCaption);
    totals->addWidget(total_);
    totals->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(back);
    buttons->addStretch();
    buttons->addWidget(exportButton_);
    auto* side = new QVBoxLayout;
    side->addLayout(header);
    side->addLayout(totals);
    side->addWidget(frame);
    side->addStretch();
    side->addLayout(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(grid_, 1);
    layout->addLayout(side);

    connect(recalc, &QPushButton::clicked, this, &Form4::recalculate);
    connect(exportButton_, &QPushButton::clicked, this, &Form4::exportWorkbook);
    connect(back, &QPushButton::clicked, this, &QDialog::reject);
}

void Form4::load() {
    const QDate monthStart = MonthStartFromTexts(sheetYear(), sheetMonth()).value_or(QDate());
    fill(monthStart);
    fitSheetGrid(*grid_, 31);
}

void Form4::fill(const QDate& monthStart) {
    GridBatch batch(*grid_);
    shapeSheetGrid(*grid_, kColumns);
    nickname_->setText(targetUserName_);
    if (!monthStart.isValid()) {
        // The selection screen refuses such a year; a sheet opened without one stays empty.
        grid_->setRows(1);
        return;
    }
    month_->setText(MonthText(monthStart));

    const IndividualSheet sheet = BuildIndividualSheet(context().store, targetUserId_, monthStart);
    grid_->setRows(static_cast<int>(sheet.days.size()) + 1);
    for (int d = 1; d <= sheet.days.size(); ++d) {
        const IndividualSheetDay& day = sheet.days[d - 1];
        const QString cells[] = {day.day, day.weekday, day.start, QStringLiteral("～"),
                                 day.end, day.worked,  day.douhan};
        for (int c = 0; c < grid_->cols(); ++c) {
            grid_->setTextMatrix(d, c, cells[c]);
            if (day.background) {
                grid_->setRow(d);
                grid_->setCol(c);
                grid_->setCellBackColor(QColor(day.background->red, day.background->green, day.background->blue));
            }
        }
    }
    grid_->setRow(1);
    grid_->setCol(0);
    total_->setText(sheet.totalText);
    totalCopy_->setText(sheet.totalText);

    // The price goes into the box as plain digits: a formatted "10,000" would be cut by the length limit.
    const QString price = QString::number(sheet.unitPrice);
    unitPriceBox_->setMaxLength(std::max<int>(kUnitPriceLength, static_cast<int>(price.size())));
    unitPriceBox_->setText(price);
    amount_->setText(sheet.amount);
}

void Form4::recalculate() {
    const QString text = unitPriceBox_->text();
    const std::optional<double> price = ParseUnitPrice(text);
    if (!price) {
        amount_->setText(QStringLiteral("0"));
        context().boxes.warn(QStringLiteral("エラー"),
                             text.isEmpty() ? QStringLiteral("単価に値を入力してください。")
                                            : QStringLiteral("値には数値以外の値を入力しないでください。"));
        return;
    }
    amount_->setText(PayText(context().store, total_->text(), *price));
}

void Form4::exportWorkbook() {
    const ExportButtonHold hold(*exportButton_);
    IndividualWorkbookContent content{targetUserId_, targetUserName_, month_->text(), unitPriceBox_->text(), {}};
    for (int r = 1; r < grid_->rows(); ++r) {
        content.days.append({grid_->textMatrix(r, 0), grid_->textMatrix(r, 1), grid_->textMatrix(r, 2),
                             grid_->textMatrix(r, 4), grid_->textMatrix(r, 6)});
    }
    WorkbookExport(context().store, context().boxes, context().spreadsheet, context().pause).exportIndividual(content);
}

}  // namespace tsumiki
