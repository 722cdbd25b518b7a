#include "maintenance/menu_mast.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "maintenance/mast_ctrl.h"
#include "maintenance/mast_kinmu.h"
#include "maintenance/mast_message.h"
#include "maintenance/mast_user.h"
#include "ui/controlnames.h"
#include "ui/controls.h"
#include "ui/grid/grid.h"

namespace tsumiki {

namespace n = names::menu_mast;

Menu_Mast::Menu_Mast(AppContext& context, QWidget* parent)
    : Screen(context, n::screen, QStringLiteral("メンテナンス - メニュー画面"), parent) {
    const QSize buttonSize(twipsToPixels(3255, logicalDpiX()), twipsToPixels(735, logicalDpiY()));
    auto group = [&](QLatin1String name, const QString& title) {
        auto* frame = new QGroupBox(title, this);
        frame->setObjectName(name);
        new QVBoxLayout(frame);
        return frame;
    };
    auto button = [&](QGroupBox* frame, QLatin1String name, const QString& caption, void (Menu_Mast::*opens)()) {
        QPushButton* b = makeButton(frame, name, caption);
        b->setMinimumSize(buttonSize);
        connect(b, &QPushButton::clicked, this, opens);
        frame->layout()->addWidget(b);
    };
    QGroupBox* masters = group(n::mastersFrame, QStringLiteral("マスタメンテナンス"));
    button(masters, n::usersButton, QStringLiteral("ユーザーマスタ"), &Menu_Mast::open<Mast_User>);
    button(masters, n::controlButton, QStringLiteral("コントロールマスタ"), &Menu_Mast::open<Mast_Ctrl>);
    button(masters, n::messagesButton, QStringLiteral("メッセージマスタ"), &Menu_Mast::open<Mast_Message>);
    QGroupBox* periodic = group(n::periodicFrame, QStringLiteral("定期的メンテナンス"));
    button(periodic, n::clockRecordsButton, QStringLiteral("個人出退勤時間"), &Menu_Mast::open<Mast_Kinmu>);
    for (QGroupBox* frame : {masters, periodic}) {
        qobject_cast<QVBoxLayout*>(frame->layout())->addStretch();
    }

    QPushButton* back = makeButton(this, n::backButton, QStringLiteral("戻る"));
    connect(back, &QPushButton::clicked, this, &QDialog::reject);

    auto* frames = new QHBoxLayout;
    frames->addWidget(masters);
    frames->addWidget(periodic);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(back);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(frames, 1);
    layout->addLayout(buttons);
}

// Each opening creates the editor afresh, so it loads the file as it is then.
template <typename Editor>
void Menu_Mast::open() {
    Editor editor(context(), this);
    context().navigator.showModal(editor);
}

}  // namespace tsumiki
