#pragma once

#include "platform/messageboxes.h"
#include "platform/navigator.h"

namespace tsumiki {

// Message boxes shown with QMessageBox over the active window.
class QtMessageBoxes final : public MessageBoxes {
public:
    void show(const QString& title, const QString& text, MessageIcon icon) override;
    bool ask(const QString& title, const QString& text) override;
    void beep() override;
};

class QtNavigator final : public Navigator {
public:
    void showModal(QDialog& screen) override;
};

}  // namespace tsumiki
