#include "sheets/form2.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>

#include "attendance/businessdate.h"
#include "sheets/form4.h"
#include "sheets/form5.h"
#include "sheets/sheetcontent.h"
#include "store/lookups.h"
#include "store/queries.h"
#include "ui/lineedit.h"
#include "ui/widgets.h"

namespace tsumiki {
namespace {

const QString kMonthEntries[] = {QStringLiteral("１月"),   QStringLiteral("２月"),   QStringLiteral("３月"),
                                 QStringLiteral("４月"),   QStringLiteral("５月"),   QStringLiteral("６月"),
                                 QStringLiteral("７月"),   QStringLiteral("８月"),   QStringLiteral("９月"),
                                 QStringLiteral("１０月"), QStringLiteral("１１月"), QStringLiteral("１２月")};

constexpr int kUserIdRole = Qt::UserRole;
constexpr int kUserNameRole = Qt::UserRole + 1;

}  // namespace

Form2::Form2(AppContext& context, QWidget* parent) : QDialog(parent), context_(context) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("勤務表選択画面"));

    auto* instruction = makeLabel(this, "Label2", QStringLiteral("対象の人を選択下さい。"));
    auto* peopleCaption = makeLabel(this, "Label1", QStringLiteral("ニックネーム"));
    // Pick lists only: a typed entry could name nobody, and the ID travels as item data, whole.
    people_ = new QComboBox(this);
    people_->setObjectName(QStringLiteral("Combo1"));
    people_->setEditable(false);
    people_->setMinimumContentsLength(16);
    peopleCaption->setBuddy(people_);

    auto* yearCaption = makeLabel(this, "Label3", QStringLiteral("出力月"));
    year_ = new QLineEdit(QStringLiteral("2009"), this);
    year_->setObjectName(QStringLiteral("Text1"));
    year_->setMaxLength(4);
    year_->setAccessibleName(QStringLiteral("出力年"));
    year_->setFixedWidth(year_->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 16);
    auto* yearUnit = makeLabel(this, "Label4", QStringLiteral("年"));
    months_ = new QComboBox(this);
    months_->setObjectName(QStringLiteral("Combo2"));
    months_->setEditable(false);
    yearCaption->setBuddy(months_);

    auto* next = makeButton(this, "cmdNext", QStringLiteral("次へ"));
    auto* sum = makeButton(this, "cmdSum", QStringLiteral("勤務集計表"));
    auto* back = makeButton(this, "cmdEnd", QStringLiteral("戻る"));

    auto* form = new QGridLayout;
    form->addWidget(instruction, 0, 0, 1, 4);
    form->addWidget(peopleCaption, 1, 0);
    form->addWidget(people_, 1, 1, 1, 3);
    form->addWidget(yearCaption, 2, 0);
    form->addWidget(year_, 2, 1);
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

    attachDigitFilter(*year_, context_.boxes);
    connect(next, &QPushButton::clicked, this, &Form2::openIndividualSheet);
    connect(sum, &QPushButton::clicked, this, &Form2::openStaffSheet);
    connect(back, &QPushButton::clicked, this, &QDialog::reject);
    load();
}

void Form2::load() {
    for (const Record& user : AllUsers(context_.store.read(Table::User))) {
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

    const QDateTime businessDate = GetBusinessDate(context_.store, context_.clock);
    for (const QString& entry : kMonthEntries) {
        months_->addItem(entry);
    }
    months_->setCurrentIndex(businessDate.date().month() - 1);
    year_->setText(businessDate.date().toString(QStringLiteral("yyyy")));
}

QString Form2::sheetMonth() const {
    const int index = months_->currentIndex();
    return index < 0 ? QString() : QStringLiteral("%1").arg(index + 1, 2, 10, QLatin1Char('0'));
}

bool Form2::refuse(const QString& text) {
    context_.boxes.warn(QStringLiteral("エラー"), text);
    return false;
}

bool Form2::checkYear() {
    // The digit filter lets "." and a leading "-" through; such a year would name no month.
    if (!MonthStartFromTexts(year_->text(), QStringLiteral("01"))) {
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
        refuse(GetMessageText(context_.store, QStringLiteral("E00009")));
        return;
    }
    Form4 sheet(context_, this);
    sheet.setTargetUserId(people_->currentData(kUserIdRole).toString());
    sheet.setTargetUserName(people_->currentData(kUserNameRole).toString());
    sheet.setSheetMonth(sheetMonth());
    sheet.setSheetYear(year_->text());
    context_.navigator.showModal(sheet);
}

void Form2::openStaffSheet() {
    if (months_->currentText().isEmpty()) {
        refuse(QStringLiteral("出力月を選択してください。"));
        return;
    }
    if (!checkYear()) {
        return;
    }
    Form5 sheet(context_, this);
    sheet.setSheetMonth(sheetMonth());
    sheet.setSheetYear(year_->text());
    context_.navigator.showModal(sheet);
}

}  // namespace tsumiki
