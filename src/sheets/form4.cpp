#include "sheets/form4.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include "attendance/businessdate.h"
#include "sheets/aggregation.h"
#include "sheets/sheetcontent.h"
#include "sheets/sheetgrid.h"
#include "store/lookups.h"
#include "ui/grid/grid.h"
#include "ui/lineedit.h"
#include "ui/widgets.h"

namespace tsumiki {
namespace {

const SheetColumn kColumns[] = {{u"日", 300},   {u"", 300},         {u"開始", 600}, {u"", 300},
                                {u"終了", 600}, {u"勤務時間", 800}, {u"同伴", 600}};
constexpr int kUnitPriceLength = 5;

}  // namespace

Form4::Form4(AppContext& context, QWidget* parent) : SheetScreen(parent), context_(context) {
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("勤務表個人画面"));

    grid_ = makeSheetGrid(this);
    name_ = makeLabel(this, "Label1", QStringLiteral("ニックネーム"));
    month_ = makeLabel(this, "Label2", QStringLiteral("○○月"));
    screenparts::scaleFont(*name_, 1.3, true);
    screenparts::scaleFont(*month_, 1.3, true);
    screenparts::showsDataAsPlainText(*name_);
    auto* totalCaption = makeLabel(this, "Label3", QStringLiteral("勤務時間合計："));
    total_ = makeLabel(this, "Label4", QStringLiteral("000：00"));

    auto* frame = new QGroupBox(QStringLiteral("単価計算"), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    totalCopy_ = makeLabel(frame, "Label6", QStringLiteral("000：00"));
    auto* times = makeLabel(frame, "Label5", QStringLiteral("×"));
    auto* priceCaption = makeLabel(frame, "Label10", QStringLiteral("単価"));
    unitPrice_ = new QLineEdit(QStringLiteral("10000"), frame);
    unitPrice_->setObjectName(QStringLiteral("txtTanka"));
    unitPrice_->setMaxLength(kUnitPriceLength);
    unitPrice_->setAlignment(Qt::AlignRight);
    unitPrice_->setFixedWidth(unitPrice_->fontMetrics().horizontalAdvance(QStringLiteral("0000000")) + 16);
    priceCaption->setBuddy(unitPrice_);
    auto* equals = makeLabel(frame, "Label7", QStringLiteral("＝"));
    auto* amountCaption = makeLabel(frame, "Label11", QStringLiteral("金額"));
    amount_ = makeLabel(frame, "Label9", QStringLiteral("0"));
    amount_->setMinimumWidth(amount_->fontMetrics().horizontalAdvance(QStringLiteral("000,000,000")));
    amount_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // A caption of the original layout that never changes; kept for its name, not shown.
    auto* unused = makeLabel(frame, "Label8", QStringLiteral("000：00"));
    unused->hide();
    auto* recalc = makeButton(frame, "cmdkeisan", QStringLiteral("再計算"));
    auto* calc = new QGridLayout(frame);
    calc->addWidget(priceCaption, 0, 2, Qt::AlignHCenter);
    calc->addWidget(amountCaption, 0, 4, Qt::AlignHCenter);
    calc->addWidget(totalCopy_, 1, 0, Qt::AlignRight);
    calc->addWidget(times, 1, 1);
    calc->addWidget(unitPrice_, 1, 2);
    calc->addWidget(equals, 1, 3);
    calc->addWidget(amount_, 1, 4);
    calc->addWidget(recalc, 1, 5);

    auto* exportButton = makeButton(this, "Command1", QStringLiteral("Excel出力"));
    // The workbook export is not available yet; the button stays visible where it belongs.
    exportButton->setEnabled(false);
    auto* back = makeButton(this, "cmdEnd", QStringLiteral("戻る"));

    auto* header = new QHBoxLayout;
    header->addWidget(name_);
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
    buttons->addWidget(exportButton);
    auto* side = new QVBoxLayout;
    side->addLayout(header);
    side->addLayout(totals);
    side->addWidget(frame);
    side->addStretch();
    side->addLayout(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(grid_, 1);
    layout->addLayout(side);

    attachDigitFilter(*unitPrice_, context_.boxes);
    connect(recalc, &QPushButton::clicked, this, &Form4::recalculate);
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
    name_->setText(targetUserName_);
    if (!monthStart.isValid()) {
        // The selection screen refuses such a year; a sheet opened without one stays empty.
        grid_->setRows(1);
        return;
    }
    month_->setText(MonthText(monthStart));

    const IndividualSheet sheet = BuildIndividualSheet(context_.store, targetUserId_, monthStart);
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
    const QString price = QString::number(GetUnitPrice(context_.store, targetUserId_));
    unitPrice_->setMaxLength(std::max<int>(kUnitPriceLength, static_cast<int>(price.size())));
    unitPrice_->setText(price);
    amount_->setText(
        FormatAmount(AmountFromTotal(total_->text(), price.toDouble(), GetRoundingMinutes(context_.store))));
}

void Form4::recalculate() {
    const QString text = unitPrice_->text();
    if (text.isEmpty()) {
        amount_->setText(QStringLiteral("0"));
        context_.boxes.warn(QStringLiteral("エラー"), QStringLiteral("単価に値を入力してください。"));
        return;
    }
    const std::optional<qint64> price = ParseUnitPrice(text);
    if (!price) {
        amount_->setText(QStringLiteral("0"));
        context_.boxes.warn(QStringLiteral("エラー"), QStringLiteral("値には数値以外の値を入力しないでください。"));
        return;
    }
    amount_->setText(
        FormatAmount(AmountFromTotal(total_->text(), static_cast<double>(*price), GetRoundingMinutes(context_.store))));
}

}  // namespace tsumiki
