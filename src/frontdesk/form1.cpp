#include "frontdesk/form1.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "attendance/businessdate.h"
#include "attendance/clockrecords.h"
#include "attendance/datetext.h"
#include "attendance/greetings.h"
#include "maintenance/menu_mast.h"
#include "sheets/form2.h"
#include "store/lookups.h"
#include "ui/controlnames.h"
#include "ui/controls.h"

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

// A sunken white box for one of the day's times; it keeps its size when empty.
void styleTimeBox(QLabel& label) {
    scaleFont(label, 2.2, true);
    label.setAlignment(Qt::AlignCenter);
    label.setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    label.setBackgroundRole(QPalette::Base);
    label.setAutoFillBackground(true);
    const QFontMetrics metrics = label.fontMetrics();
    label.setMinimumSize(metrics.horizontalAdvance(QStringLiteral("00:00")) * 2, metrics.height() * 3 / 2);
}

}  // namespace

Form1::Form1(AppContext& context, QWidget* parent)
    : Screen(context, names::form1::screen, QStringLiteral("出勤・退出画面"), parent) {
    buildControls();
}

void Form1::buildControls() {
    today_ = makeDataLabel(this, names::form1::today, QStringLiteral("現在日付"), QStringLiteral("現在時刻"));
    nickname_ =
        makeDataLabel(this, names::form1::nickname, QStringLiteral("ニックネーム"), QStringLiteral("ユーザー名"));
    auto* todayCaption = makeLabel(this, QLatin1String("Label6"), QStringLiteral("現在日付　　　："), today_);
    auto* nicknameCaption = makeLabel(this, QLatin1String("Label7"), QStringLiteral("ニックネーム　："), nickname_);
    for (QLabel* label : {todayCaption, today_, nicknameCaption, nickname_}) {
        scaleFont(*label, 1.15, label == nickname_);
    }

    clockInTime_ =
        makeDataLabel(this, names::form1::clockInTime, QStringLiteral("出勤時間"), QStringLiteral("出勤時間"));
    clockOutTime_ =
        makeDataLabel(this, names::form1::clockOutTime, QStringLiteral("退出時間"), QStringLiteral("退出時間"));
    for (QLabel* label : {clockInTime_, clockOutTime_}) {
        styleTimeBox(*label);
    }
    auto* inCaption = makeLabel(this, QLatin1String("captionIn"), QStringLiteral("出勤時間"), clockInTime_);
    auto* outCaption = makeLabel(this, QLatin1String("captionOut"), QStringLiteral("退出時間"), clockOutTime_);
    for (QLabel* caption : {inCaption, outCaption}) {
        scaleFont(*caption, 1.05);
        caption->setAlignment(Qt::AlignCenter);
    }
    // The clock-in date tells a night shift's clock-in of the evening before from one of today.
    clockInDate_ = makeDataLabel(this, names::form1::clockInDate, QStringLiteral("出勤日"), QStringLiteral("出勤時間"));
    clockInDate_->setAlignment(Qt::AlignCenter);

    douhanBox_ = new QCheckBox(QStringLiteral("同伴"), this);
    douhanBox_->setObjectName(names::form1::douhanBox);
    scaleFont(*douhanBox_, 1.15);
    // The style's own box is drawn at a fixed size, too small beside the enlarged caption.
    douhanBox_->setStyleSheet(QStringLiteral("QCheckBox::indicator { width: %1px; height: %1px; }")
                                  .arg(douhanBox_->fontMetrics().height() * 3 / 4));

    auto button = [this](QLatin1String name, const QString& caption, qreal scale) {
        QPushButton* made = makeButton(this, name, caption);
        scaleFont(*made, scale, scale > 1.2);
        return made;
    };
    clockInButton_ = button(names::form1::clockInButton, QStringLiteral("出　勤"), 1.4);
    clockOutButton_ = button(names::form1::clockOutButton, QStringLiteral("退　出"), 1.4);
    for (QPushButton* b : {clockInButton_, clockOutButton_}) {
        b->setMinimumHeight(b->fontMetrics().height() * 2);
    }
    sheetsButton_ = button(names::form1::sheetsButton, QStringLiteral("勤務表"), 1.0);
    maintenanceButton_ = button(names::form1::maintenanceButton, QStringLiteral("メンテナンス"), 1.0);
    logOffButton_ = button(names::form1::logOffButton, QStringLiteral("ログオフ"), 1.0);
    for (QPushButton* b : {sheetsButton_, maintenanceButton_, logOffButton_}) {
        b->setMinimumWidth(b->fontMetrics().horizontalAdvance(QStringLiteral("メンテナンス")) * 5 / 4);
    }

    greeting_ = makeDataLabel(this, names::form1::greeting, QStringLiteral("メッセージ"), QStringLiteral("メッセージ"));
    scaleFont(*greeting_, 1.15);
    greeting_->setWordWrap(true);
    greeting_->setAlignment(Qt::AlignCenter);
    greeting_->setFrameStyle(QFrame::StyledPanel | QFrame::Plain);
    // A greeting of some 25 characters fits on one line; a longer one wraps within three.
    greeting_->setMinimumSize(greeting_->fontMetrics().horizontalAdvance(QString(26, QChar(0x3042))),
                              greeting_->fontMetrics().lineSpacing() * 3);

    connect(clockInButton_, &QPushButton::clicked, this, &Form1::clockIn);
    connect(clockOutButton_, &QPushButton::clicked, this, &Form1::clockOut);
    connect(sheetsButton_, &QPushButton::clicked, this, &Form1::openSheets);
    connect(maintenanceButton_, &QPushButton::clicked, this, &Form1::openMaintenance);
    connect(logOffButton_, &QPushButton::clicked, this, &Form1::reject);

    const int gap = fontMetrics().height();
    auto* heading = new QGridLayout;
    heading->setHorizontalSpacing(gap / 2);
    heading->addWidget(todayCaption, 0, 0);
    heading->addWidget(today_, 0, 1);
    heading->addWidget(nicknameCaption, 1, 0);
    heading->addWidget(nickname_, 1, 1);
    heading->setColumnStretch(1, 1);

    auto* times = new QGridLayout;
    times->setHorizontalSpacing(gap * 2);
    times->setVerticalSpacing(gap / 3);
    times->addWidget(inCaption, 0, 0);
    times->addWidget(outCaption, 0, 1);
    times->addWidget(clockInTime_, 1, 0);
    times->addWidget(clockOutTime_, 1, 1);
    times->addWidget(clockInDate_, 2, 0);
    times->addWidget(douhanBox_, 3, 0, Qt::AlignHCenter);
    times->addWidget(clockInButton_, 4, 0);
    times->addWidget(clockOutButton_, 4, 1);
    times->setColumnStretch(0, 1);
    times->setColumnStretch(1, 1);

    auto* adminRow = new QHBoxLayout;
    adminRow->addWidget(sheetsButton_);
    adminRow->addWidget(maintenanceButton_);
    adminRow->addStretch(1);
    adminRow->addWidget(logOffButton_);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(gap * 3 / 2, gap * 3 / 2, gap * 3 / 2, gap);
    layout->setSpacing(gap);
    layout->addLayout(heading);
    layout->addLayout(times);
    layout->addWidget(greeting_);
    layout->addLayout(adminRow);
    layout->setSizeConstraint(QLayout::SetMinimumSize);
}

void Form1::load() {
    refresh();
}

void Form1::refresh() {
    const QDateTime businessDate = GetBusinessDate(context().store, context().clock);
    today_->setText(context().clock.now().date().toString(QStringLiteral("yyyy年MM月dd日")));
    nickname_->setText(loginUserName_);
    const ClockTimes times = GetClockTime(context().store, loginUserId_, businessDate);
    clockInTime_->setText(shownTime(times.clockIn));
    clockInDate_->setText(shownDate(times.clockIn));
    clockOutTime_->setText(shownTime(times.clockOut));
    douhanBox_->setChecked(times.douhan == u"1");
    applyClockInState();
    clockOutButton_->setEnabled(clockOutTime_->text().isEmpty());
    const bool admin = loginAuthority_ == u"ADMIN";
    sheetsButton_->setEnabled(admin);
    maintenanceButton_->setEnabled(admin);
    greeting_->clear();
    // The focus waits on the next button a person would press.
    QPushButton* next =
        clockInButton_->isEnabled() ? clockInButton_ : (clockOutButton_->isEnabled() ? clockOutButton_ : logOffButton_);
    next->setFocus();
}

void Form1::applyClockInState() {
    const bool noClockIn = clockInTime_->text().isEmpty();
    clockInButton_->setEnabled(noClockIn);
    douhanBox_->setEnabled(noClockIn);
}

void Form1::clockIn() {
    const QDateTime businessDate = GetBusinessDate(context().store, context().clock);
    // Disabled before anything is written, so a second click can never append a second clock-in.
    clockInButton_->setEnabled(false);
    const ClockRecord recorded = RecordClockIn(context().store, context().clock, loginUserId_, businessDate,
                                               douhanBox_->checkState() != Qt::Unchecked);
    if (recorded.refused) {
        // Nothing was written: the screen stays as it was, so the person can press again.
        clockInButton_->setEnabled(true);
        context().boxes.warn(QStringLiteral("エラー"), recorded.refused->message);
        return;
    }
    clockInTime_->setText(recorded.moment.toString(kTimeFormat));
    clockInDate_->setText(recorded.moment.toString(kDateFormat));
    greeting_->setText(GetGreetingMessage(context().store, context().random, ClockKind::In));
    douhanBox_->setEnabled(false);
}

std::optional<QDateTime> Form1::shownClockIn() const {
    if (clockInDate_->text().isEmpty() || clockInTime_->text().isEmpty()) {
        return std::nullopt;
    }
    return ParseDateTimeText(QString(clockInDate_->text() + u' ' + clockInTime_->text()));
}

void Form1::clockOut() {
    const QDateTime businessDate = GetBusinessDate(context().store, context().clock);
    // Leaving is refused only before a clock-in that is shown; a forgotten clock-in must not keep anyone in.
    if (const std::optional<QDateTime> shownIn = shownClockIn(); shownIn && *shownIn > context().clock.now()) {
        context().boxes.warn(QStringLiteral("エラー"), GetMessageText(context().store, QStringLiteral("E00013")));
        return;
    }
    clockOutButton_->setEnabled(false);
    const ClockRecord recorded = RecordClockOut(context().store, context().clock, loginUserId_, businessDate);
    if (recorded.refused) {
        clockOutButton_->setEnabled(true);
        context().boxes.warn(QStringLiteral("エラー"), recorded.refused->message);
        return;
    }
    clockOutTime_->setText(recorded.moment.toString(kTimeFormat));
    greeting_->setText(GetGreetingMessage(context().store, context().random, ClockKind::Out));
}

void Form1::openSheets() {
    Form2 selection(context(), this);
    context().navigator.showModal(selection);
    // The sheets change no clock row: only what depends on the shown clock-in is set again.
    applyClockInState();
}

void Form1::openMaintenance() {
    Menu_Mast menu(context(), this);
    context().navigator.showModal(menu);
    // The editors may have changed any row of the day.
    refresh();
}

}  // namespace tsumiki
