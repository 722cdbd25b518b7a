#include "frontdesk/form1.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "attendance/businessdate.h"
#include "attendance/clockrecords.h"
#include "attendance/datetext.h"
#include "attendance/greetings.h"
#include "maintenance/menumast.h"
#include "sheets/form2.h"
#include "store/lookups.h"
#include "ui/screenparts.h"

namespace tsumiki {
namespace {

const QString kTimeFormat = QStringLiteral("HH:mm");
const QString kDateFormat = QStringLiteral("yyyy/MM/dd");

// A stored clock time ("yyyy/mm/dd hh:mm") as the screen shows it. A value that is not a date and time (a row
// edited by hand) is shown as it is stored, so that the screen still tells that the row exists.
QString shownTime(const QString& stored) {
    if (stored.isEmpty()) {
        return {};
    }
    const std::optional<QDateTime> parsed = ParseDateTimeText(stored);
    return parsed ? parsed->toString(kTimeFormat) : stored;
}

QString shownDate(const QString& stored) {
    const std::optional<QDateTime> parsed = stored.isEmpty() ? std::nullopt : ParseDateTimeText(stored);
    return parsed ? parsed->toString(kDateFormat) : QString();
}

QLabel* makeLabel(QWidget* parent, const char* objectName, const QString& caption) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QLatin1String(objectName));
    screenparts::showsDataAsPlainText(*label);
    return label;
}

// A sunken white box for one of the day's times; it keeps its size when empty.
void styleTimeBox(QLabel& label) {
    screenparts::scaleFont(label, 2.2, true);
    label.setAlignment(Qt::AlignCenter);
    label.setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    label.setBackgroundRole(QPalette::Base);
    label.setAutoFillBackground(true);
    const QFontMetrics metrics = label.fontMetrics();
    label.setMinimumSize(metrics.horizontalAdvance(QStringLiteral("00:00")) * 2, metrics.height() * 3 / 2);
}

}  // namespace

Form1::Form1(AppContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("出勤・退出画面"));
    buildControls();
}

void Form1::buildControls() {
    auto* label6 = makeLabel(this, "Label6", QStringLiteral("現在日付　　　："));
    label4_ = makeLabel(this, "Label4", QStringLiteral("現在時刻"));
    label4_->setAccessibleName(QStringLiteral("現在日付"));
    auto* label7 = makeLabel(this, "Label7", QStringLiteral("ニックネーム　："));
    label5_ = makeLabel(this, "Label5", QStringLiteral("ユーザー名"));
    label5_->setAccessibleName(QStringLiteral("ニックネーム"));
    for (QLabel* label : {label6, label4_, label7, label5_}) {
        screenparts::scaleFont(*label, 1.15, label == label5_);
    }
    label6->setBuddy(label4_);
    label7->setBuddy(label5_);

    auto* inCaption = makeLabel(this, "captionIn", QStringLiteral("出勤時間"));
    auto* outCaption = makeLabel(this, "captionOut", QStringLiteral("退出時間"));
    label1_ = makeLabel(this, "Label1", QStringLiteral("出勤時間"));
    label1_->setAccessibleName(QStringLiteral("出勤時間"));
    label3_ = makeLabel(this, "Label3", QStringLiteral("退出時間"));
    label3_->setAccessibleName(QStringLiteral("退出時間"));
    for (QLabel* label : {label1_, label3_}) {
        styleTimeBox(*label);
    }
    for (QLabel* caption : {inCaption, outCaption}) {
        screenparts::scaleFont(*caption, 1.05);
        caption->setAlignment(Qt::AlignCenter);
    }
    inCaption->setBuddy(label1_);
    outCaption->setBuddy(label3_);
    // The clock-in date tells a night shift's clock-in of the evening before from one of today.
    label8_ = makeLabel(this, "Label8", QStringLiteral("出勤時間"));
    label8_->setAccessibleName(QStringLiteral("出勤日"));
    label8_->setAlignment(Qt::AlignCenter);

    check1_ = new QCheckBox(QStringLiteral("同伴"), this);
    check1_->setObjectName(QStringLiteral("Check1"));
    screenparts::scaleFont(*check1_, 1.15);
    // The style's own box is drawn at a fixed size, too small beside the enlarged caption.
    check1_->setStyleSheet(QStringLiteral("QCheckBox::indicator { width: %1px; height: %1px; }")
                               .arg(check1_->fontMetrics().height() * 3 / 4));

    auto makeButton = [this](const char* objectName, const QString& caption, qreal scale) {
        auto* button = new QPushButton(caption, this);
        button->setObjectName(QLatin1String(objectName));
        screenparts::neverDefault(*button);
        screenparts::scaleFont(*button, scale, scale > 1.2);
        return button;
    };
    cmdin_ = makeButton("cmdin", QStringLiteral("出　勤"), 1.4);
    cmdout_ = makeButton("cmdout", QStringLiteral("退　出"), 1.4);
    for (QPushButton* button : {cmdin_, cmdout_}) {
        button->setMinimumHeight(button->fontMetrics().height() * 2);
    }
    cmdkinmu_ = makeButton("cmdkinmu", QStringLiteral("勤務表"), 1.0);
    cmdMast_ = makeButton("cmdMast", QStringLiteral("メンテナンス"), 1.0);
    cmdEnd_ = makeButton("cmdEnd", QStringLiteral("ログオフ"), 1.0);
    for (QPushButton* button : {cmdkinmu_, cmdMast_, cmdEnd_}) {
        button->setMinimumWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("メンテナンス")) * 5 / 4);
    }

    label2_ = makeLabel(this, "Label2", QStringLiteral("メッセージ"));
    label2_->setAccessibleName(QStringLiteral("メッセージ"));
    screenparts::scaleFont(*label2_, 1.15);
    label2_->setWordWrap(true);
    label2_->setAlignment(Qt::AlignCenter);
    label2_->setFrameStyle(QFrame::StyledPanel | QFrame::Plain);
    // A greeting of some 25 characters fits on one line; a longer one wraps within three.
    label2_->setMinimumSize(label2_->fontMetrics().horizontalAdvance(QString(26, QChar(0x3042))),
                            label2_->fontMetrics().lineSpacing() * 3);

    connect(cmdin_, &QPushButton::clicked, this, &Form1::clockIn);
    connect(cmdout_, &QPushButton::clicked, this, &Form1::clockOut);
    connect(cmdkinmu_, &QPushButton::clicked, this, &Form1::openSheets);
    connect(cmdMast_, &QPushButton::clicked, this, &Form1::openMaintenance);
    connect(cmdEnd_, &QPushButton::clicked, this, &Form1::reject);

    const int gap = fontMetrics().height();
    auto* heading = new QGridLayout;
    heading->setHorizontalSpacing(gap / 2);
    heading->addWidget(label6, 0, 0);
    heading->addWidget(label4_, 0, 1);
    heading->addWidget(label7, 1, 0);
    heading->addWidget(label5_, 1, 1);
    heading->setColumnStretch(1, 1);

    auto* times = new QGridLayout;
    times->setHorizontalSpacing(gap * 2);
    times->setVerticalSpacing(gap / 3);
    times->addWidget(inCaption, 0, 0);
    times->addWidget(outCaption, 0, 1);
    times->addWidget(label1_, 1, 0);
    times->addWidget(label3_, 1, 1);
    times->addWidget(label8_, 2, 0);
    times->addWidget(check1_, 3, 0, Qt::AlignHCenter);
    times->addWidget(cmdin_, 4, 0);
    times->addWidget(cmdout_, 4, 1);
    times->setColumnStretch(0, 1);
    times->setColumnStretch(1, 1);

    auto* adminRow = new QHBoxLayout;
    adminRow->addWidget(cmdkinmu_);
    adminRow->addWidget(cmdMast_);
    adminRow->addStretch(1);
    adminRow->addWidget(cmdEnd_);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(gap * 3 / 2, gap * 3 / 2, gap * 3 / 2, gap);
    layout->setSpacing(gap);
    layout->addLayout(heading);
    layout->addLayout(times);
    layout->addWidget(label2_);
    layout->addLayout(adminRow);
    layout->setSizeConstraint(QLayout::SetMinimumSize);
}

void Form1::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Loads once per opening; a show from the window system (after minimising) is not a new opening.
    if (!event->spontaneous() && !loaded_) {
        loaded_ = true;
        refresh();
    }
}

void Form1::keyPressEvent(QKeyEvent* event) {
    if (!screenparts::handleKey(*this, *event)) {
        QDialog::keyPressEvent(event);
    }
}

void Form1::refresh() {
    const QDateTime businessDate = GetBusinessDate(ctx_.store, ctx_.clock);
    label4_->setText(ctx_.clock.now().date().toString(QStringLiteral("yyyy年MM月dd日")));
    label5_->setText(loginUserName_);
    const ClockTimes times = GetClockTime(ctx_.store, loginUserId_, businessDate);
    label1_->setText(shownTime(times.clockIn));
    label8_->setText(shownDate(times.clockIn));
    label3_->setText(shownTime(times.clockOut));
    check1_->setChecked(times.douhan == u"1");
    applyClockInState();
    cmdout_->setEnabled(label3_->text().isEmpty());
    const bool admin = loginAuthority_ == u"ADMIN";
    cmdkinmu_->setEnabled(admin);
    cmdMast_->setEnabled(admin);
    label2_->clear();
    // The focus waits on the next button a person would press.
    QPushButton* next = cmdin_->isEnabled() ? cmdin_ : (cmdout_->isEnabled() ? cmdout_ : cmdEnd_);
    next->setFocus();
}

void Form1::applyClockInState() {
    const bool noClockIn = label1_->text().isEmpty();
    cmdin_->setEnabled(noClockIn);
    check1_->setEnabled(noClockIn);
}

void Form1::clockIn() {
    const QDateTime businessDate = GetBusinessDate(ctx_.store, ctx_.clock);
    // Disabled before anything is written, so a second click can never append a second clock-in.
    cmdin_->setEnabled(false);
    const QDateTime recorded =
        RecordClockIn(ctx_.store, ctx_.clock, loginUserId_, businessDate, check1_->checkState() != Qt::Unchecked);
    label1_->setText(recorded.toString(kTimeFormat));
    label8_->setText(recorded.toString(kDateFormat));
    label2_->setText(GetGreetingMessage(ctx_.store, ctx_.random, 1));
    check1_->setEnabled(false);
}

std::optional<QDateTime> Form1::shownClockIn() const {
    if (label8_->text().isEmpty() || label1_->text().isEmpty()) {
        return std::nullopt;
    }
    return ParseDateTimeText(QString(label8_->text() + u' ' + label1_->text()));
}

void Form1::clockOut() {
    const QDateTime businessDate = GetBusinessDate(ctx_.store, ctx_.clock);
    // Leaving is refused only before a clock-in that is shown; a forgotten clock-in must not keep anyone in.
    if (const std::optional<QDateTime> shownIn = shownClockIn(); shownIn && *shownIn > ctx_.clock.now()) {
        ctx_.boxes.warn(QStringLiteral("エラー"), GetMessageText(ctx_.store, QStringLiteral("E00013")));
        return;
    }
    cmdout_->setEnabled(false);
    const QTime recorded = RecordClockOut(ctx_.store, ctx_.clock, loginUserId_, businessDate);
    label3_->setText(recorded.toString(kTimeFormat));
    label2_->setText(GetGreetingMessage(ctx_.store, ctx_.random, 2));
}

void Form1::openSheets() {
    if (!showSheetSelection()) {
        return;
    }
    // The sheets change no clock row: only what depends on the shown clock-in is set again.
    applyClockInState();
}

void Form1::openMaintenance() {
    if (!showMaintenanceMenu()) {
        return;
    }
    // The editors may have changed any row of the day.
    refresh();
}

bool Form1::showSheetSelection() {
    Form2 selection(ctx_, this);
    ctx_.navigator.showModal(selection);
    return true;
}

bool Form1::showMaintenanceMenu() {
    MenuMast menu(ctx_, this);
    ctx_.navigator.showModal(menu);
    return true;
}

}  // namespace tsumiki
