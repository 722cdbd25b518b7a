#include "frontdesk/form0.h"

#include <QFocusEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "frontdesk/form1.h"
#include "store/lookups.h"
#include "ui/controlnames.h"
#include "ui/controls.h"

namespace tsumiki {

Form0::Form0(AppContext& context, QWidget* parent)
    : Screen(context, names::form0::screen, QStringLiteral("ログイン画面"), parent) {
    buildControls();
    nextButton_->setEnabled(false);
    userIdBox_->setFocus();
}

void Form0::buildControls() {
    userIdBox_ = makeTextBox(this, names::form0::userIdBox, kNoMaxLength, QStringLiteral("ユーザーID"));
    scaleFont(*userIdBox_, 1.3);
    // Wide enough for an ID of a dozen characters at any font size.
    userIdBox_->setMinimumWidth(userIdBox_->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 14);
    userIdBox_->installEventFilter(this);
    auto* idCaption = makeLabel(this, QLatin1String("Label1"), QStringLiteral("ユーザーI D"), userIdBox_);
    scaleFont(*idCaption, 1.1);

    auto* instruction = makeLabel(this, QLatin1String("Label4"), QStringLiteral("ユーザーIDを入力して下さい。"));

    nickname_ = makeDataLabel(this, names::form0::nickname, QStringLiteral("ニックネーム"));
    scaleFont(*nickname_, 1.5, true);
    nickname_->setAlignment(Qt::AlignCenter);
    // Keeps its height when empty, so the screen does not jump when a name appears.
    nickname_->setMinimumHeight(nickname_->fontMetrics().height());

    refusal_ = makeDataLabel(this, names::form0::refusal, QStringLiteral("メッセージ"));
    markAsRefusal(*refusal_);
    refusal_->setWordWrap(true);
    refusal_->setAlignment(Qt::AlignCenter);
    refusal_->setMinimumHeight(refusal_->fontMetrics().lineSpacing() * 2);

    nextButton_ = makeButton(this, names::form0::nextButton, QStringLiteral("入力"));
    endButton_ = makeButton(this, names::form0::endButton, QStringLiteral("終 了"));
    for (QPushButton* button : {nextButton_, endButton_}) {
        scaleFont(*button, 1.1);
        button->setMinimumWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("メンテナンス")));
    }
    connect(nextButton_, &QPushButton::clicked, this, &Form0::goOn);
    connect(endButton_, &QPushButton::clicked, this, &Form0::reject);

    auto* idRow = new QHBoxLayout;
    idRow->addWidget(idCaption);
    idRow->addWidget(userIdBox_, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(nextButton_);
    buttons->addWidget(endButton_);

    auto* layout = new QVBoxLayout(this);
    const int gap = fontMetrics().height();
    layout->setContentsMargins(gap * 2, gap * 2, gap * 2, gap);
    layout->setSpacing(gap / 2);
    layout->addWidget(instruction);
    layout->addLayout(idRow);
    layout->addSpacing(gap / 2);
    layout->addWidget(nickname_);
    layout->addWidget(refusal_);
    layout->addSpacing(gap / 2);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetMinimumSize);
}

bool Form0::eventFilter(QObject* watched, QEvent* event) {
    if (watched == userIdBox_) {
        if (event->type() == QEvent::KeyPress && isEnterKey(*static_cast<QKeyEvent*>(event))) {
            checkId();
            return true;
        }
        if (event->type() == QEvent::FocusOut) {
            // Switching to another window or opening the box's context menu does not end the entry.
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
                checkId();
            }
        }
    }
    return Screen::eventFilter(watched, event);
}

void Form0::checkId() {
    nickname_->clear();
    const QString id = userIdBox_->text();
    if (id.isEmpty()) {
        nextButton_->setEnabled(false);
        return;
    }
    nickname_->setText(LookupUserName(context().store, id));
    if (!nickname_->text().isEmpty()) {
        refusal_->clear();
        nextButton_->setEnabled(true);
    } else {
        refusal_->setText(GetMessageText(context().store, QStringLiteral("E00001")));
        nextButton_->setEnabled(false);
    }
}

void Form0::goOn() {
    {
        Form1 clock(context(), this);
        clock.setLoginUserId(userIdBox_->text());
        clock.setLoginUserName(nickname_->text());
        clock.setLoginAuthority(GetUserAuthority(context().store, userIdBox_->text()));
        context().navigator.showModal(clock);
    }
    nickname_->clear();
    refusal_->clear();
    userIdBox_->clear();
    nextButton_->setEnabled(false);
    userIdBox_->setFocus();
}

}  // namespace tsumiki
