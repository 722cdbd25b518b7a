#include "sheets/form2.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "attendance/businessdate.h"
#include "sheets/form4.h"
#include "sheets/form5.h"
#include "sheets/sheetcontent.h"
#include "store/lookups.h"
#include "store/queries.h"
#include "ui/controlnames.h"
#include "ui/controls.h"

namespace tsumiki {
namespace {

const QString kMonthEntries[] = {QStringLiteral("１月"),   QStringLiteral("２月"),   QStringLiteral("３月"),
                                 QStringLiteral("４月"),   QStringLiteral("５月"),   QStringLiteral("６月"),
                                 QStringLiteral("７月"),   QStringLiteral("８月"),   QStringLiteral("９月"),
                                 QStringLiteral("１０月"), QStringLiteral("１１月"), QStringLiteral("１２月")};

constexpr int kUserIdRole = Qt::UserRole;
constexpr int kUserNameRole = Qt::UserRole + 1;

}  // namespace

Form2::Form2(AppContext& context, QWidget* parent)
    : Screen(context, names::form2::screen, QStringLiteral("勤務表選択画面"), parent) {
    auto* instruction = makeLabel(this, QLatin1String("Label2"), QStringLiteral("対象の人を選択下さい。"));
    // Pick lists only: a typed entry could name nobody, and the ID travels as item data, whole.
    people_ = new QComboBox(this);
    people_->setObjectName(names::form2::people);
    people_->setEditable(false);
    people_->setMinimumContentsLength(16);
    auto* peopleCaption = makeLabel(this, QLatin1String("Label1"), QStringLiteral("ニックネーム"), people_);

    yearBox_ = makeDigitBox(this, names::form2::yearBox, 4, context.boxes, QStringLiteral("出力年"));
    yearBox_->setText(QStringLiteral("2009"));
    yearBox_->setFixedWidth(yearBox_->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 16);
    auto* yearUnit = makeLabel(this, QLatin1String("Label4"), QStringLiteral("年"));
    months_ = new QComboBox(this);
    months_->setObjectName(names::form2::months);
    months_->setEditable(false);
    auto* monthCaption = makeLabel(this, QLatin1String("Label3"), QStringLiteral("出力月"), months_);

    auto* next = makeButton(this, names::form2::individualButton, QStringLiteral("次へ"));
    auto* sum = makeButton(this, names::form2::staffButton, QStringLiteral("勤務集計表"));
    auto* back = makeButton(this, names::form2::backButton, QStringLiteral("戻る"));

    auto* form = new QGridLayout;
    form->addWidget(instruction, 0, 0, 1, 4);
    form->addWidget(peopleCaption, 1, 0);
    form->addWidget(people_, 1, 1, 1, 3);
    form->addWidget(monthCaption, 2, 0);
    form->addWidget(yearBox_, 2, 1);
    form->addWidget(yearUnit, 2, 2);
    form->addWidget(months_, 2, 3);
    form->setColumnStretch(3, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(back);
    buttons->addStretch();
    buttons->addWidget(next);
    buttons->addWidget(sum);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addSpacing(12);
    layout->addLayout(buttons);

    connect(next, &QPushButton::clicked, this, &Form2::openIndividualSheet);
    connect(sum, &QPushButton::clicked, this, &Form2::openStaffSheet);
    connect(back, &QPushButton::clicked, this, &QDialog::reject);
}

void Form2::load() {
    for (const Record& user : AllUsers(context().store.read(Table::User))) {
        const QString name = user.value(u"USERNAME").value_or(QString());
        const QString id = user.value(u"ID").value_or(QString());
        if (name.isEmpty()) {
            continue;
        }
        people_->addItem(id + QStringLiteral(" : ") + name);
        people_->setItemData(people_->count() - 1, id, kUserIdRole);
        people_->setItemData(people_->count() - 1, name, kUserNameRole);
    }
    people_->setCurrentIndex(-1);

    const QDateTime businessDate = GetBusinessDate(context().store, context().clock);
    for (const QString& entry : kMonthEntries) {
        months_->addItem(entry);
    }
    months_->setCurrentIndex(businessDate.date().month() - 1);
    yearBox_->setText(businessDate.date().toString(QStringLiteral("yyyy")));
}

QString Form2::sheetMonth() const {
    const int index = months_->currentIndex();
    return index < 0 ? QString() : QStringLiteral("%1").arg(index + 1, 2, 10, QLatin1Char('0'));
}

bool Form2::refuse(const QString& text) {
    context().boxes.warn(QStringLiteral("エラー"), text);
    return false;
}

bool Form2::checkYear() {
    // The digit filter lets "." and a leading "-" through; such a year would name no month.
    if (!MonthStartFromTexts(yearBox_->text(), QStringLiteral("01"))) {
        return refuse(QStringLiteral("出力年を選択してください。"));
    }
    return true;
}

void Form2::openIndividualSheet() {
    if (months_->currentText().isEmpty()) {
        refuse(QStringLiteral("月を選択してください。"));
        return;
    }
    if (!checkYear()) {
        return;
    }
    if (people_->currentIndex() < 0) {
        refuse(GetMessageText(context().store, QStringLiteral("E00009")));
        return;
    }
    Form4 sheet(context(), this);
    sheet.setTargetUserId(people_->currentData(kUserIdRole).toString());
    sheet.setTargetUserName(people_->currentData(kUserNameRole).toString());
    sheet.setSheetMonth(sheetMonth());
    sheet.setSheetYear(yearBox_->text());
    context().navigator.showModal(sheet);
}

void Form2::openStaffSheet() {
    if (months_->currentText().isEmpty()) {
        refuse(QStringLiteral("出力月を選択してください。"));
        return;
    }
    if (!checkYear()) {
        return;
    }
    Form5 sheet(context(), this);
    sheet.setSheetMonth(sheetMonth());
    sheet.setSheetYear(yearBox_->text());
    context().navigator.showModal(sheet);
}

}  // namespace tsumiki
