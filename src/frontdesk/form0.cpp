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
#include "ui/screenparts.h"

namespace tsumiki {

Form0::Form0(AppContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setObjectName(QStringLiteral("Form0"));
    setWindowTitle(QStringLiteral("ログイン画面"));
    buildControls();
    cmdNext_->setEnabled(false);
    text1_->setFocus();
}

void Form0::buildControls() {
    auto* label1 = new QLabel(QStringLiteral("ユーザーI D"), this);
    label1->setObjectName(QStringLiteral("Label1"));
    screenparts::scaleFont(*label1, 1.1);

    text1_ = new QLineEdit(this);
    text1_->setObjectName(QStringLiteral("Text1"));
    text1_->setAccessibleName(QStringLiteral("ユーザーID"));
    screenparts::scaleFont(*text1_, 1.3);
    // Wide enough for an ID of a dozen characters at any font size.
    text1_->setMinimumWidth(text1_->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 14);
    label1->setBuddy(text1_);
    text1_->installEventFilter(this);

    auto* label4 = new QLabel(QStringLiteral("ユーザーIDを入力して下さい。"), this);
    label4->setObjectName(QStringLiteral("Label4"));

    label2_ = new QLabel(this);
    label2_->setObjectName(QStringLiteral("Label2"));
    label2_->setAccessibleName(QStringLiteral("ニックネーム"));
    screenparts::showsDataAsPlainText(*label2_);
    screenparts::scaleFont(*label2_, 1.5, true);
    label2_->setAlignment(Qt::AlignCenter);
    // Keeps its height when empty, so the screen does not jump when a name appears.
    label2_->setMinimumHeight(label2_->fontMetrics().height());

    label3_ = new QLabel(this);
    label3_->setObjectName(QStringLiteral("Label3"));
    label3_->setAccessibleName(QStringLiteral("メッセージ"));
    screenparts::showsDataAsPlainText(*label3_);
    screenparts::markAsRefusal(*label3_);
    label3_->setWordWrap(true);
    label3_->setAlignment(Qt::AlignCenter);
    label3_->setMinimumHeight(label3_->fontMetrics().lineSpacing() * 2);

    cmdNext_ = new QPushButton(QStringLiteral("入力"), this);
    cmdNext_->setObjectName(QStringLiteral("cmdNext"));
    cmdEnd_ = new QPushButton(QStringLiteral("終 了"), this);
    cmdEnd_->setObjectName(QStringLiteral("cmdEnd"));
    for (QPushButton* button : {cmdNext_, cmdEnd_}) {
        screenparts::neverDefault(*button);
        screenparts::scaleFont(*button, 1.1);
        button->setMinimumWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("メンテナンス")));
    }
    connect(cmdNext_, &QPushButton::clicked, this, &Form0::goOn);
    connect(cmdEnd_, &QPushButton::clicked, this, &Form0::reject);

    auto* idRow = new QHBoxLayout;
    idRow->addWidget(label1);
    idRow->addWidget(text1_, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdNext_);
    buttons->addWidget(cmdEnd_);

    auto* layout = new QVBoxLayout(this);
    const int gap = fontMetrics().height();
    layout->setContentsMargins(gap * 2, gap * 2, gap * 2, gap);
    layout->setSpacing(gap / 2);
    layout->addWidget(label4);
    layout->addLayout(idRow);
    layout->addSpacing(gap / 2);
    layout->addWidget(label2_);
    layout->addWidget(label3_);
    layout->addSpacing(gap / 2);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetMinimumSize);
}

bool Form0::eventFilter(QObject* watched, QEvent* event) {
    if (watched == text1_) {
        if (event->type() == QEvent::KeyPress && screenparts::isEnterKey(*static_cast<QKeyEvent*>(event))) {
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
    return QDialog::eventFilter(watched, event);
}

void Form0::keyPressEvent(QKeyEvent* event) {
    if (!screenparts::handleKey(*this, *event)) {
        QDialog::keyPressEvent(event);
    }
}

void Form0::checkId() {
    label2_->clear();
    const QString id = text1_->text();
    if (id.isEmpty()) {
        cmdNext_->setEnabled(false);
        return;
    }
    label2_->setText(LookupUserName(ctx_.store, id));
    if (!label2_->text().isEmpty()) {
        label3_->clear();
        cmdNext_->setEnabled(true);
    } else {
        label3_->setText(GetMessageText(ctx_.store, QStringLiteral("E00001")));
        cmdNext_->setEnabled(false);
    }
}

void Form0::goOn() {
    {
        Form1 form1(ctx_, this);
        form1.setLoginUserId(text1_->text());
        form1.setLoginUserName(label2_->text());
        form1.setLoginAuthority(GetUserAuthority(ctx_.store, text1_->text()));
        ctx_.navigator.showModal(form1);
    }
    label2_->clear();
    label3_->clear();
    text1_->clear();
    cmdNext_->setEnabled(false);
    text1_->setFocus();
}

}  // namespace tsumiki
