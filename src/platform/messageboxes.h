#pragma once

#include <QString>

namespace tsumiki {

enum class MessageIcon { Exclamation, Question, Information };

// Message boxes and the beep: the program's only dialogs besides its screens. The Qt adapter shows
// QMessageBox; tests use a recorder that lists what was shown and scripts the answers.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // A box with a single OK button.
    virtual void show(const QString& title, const QString& text, MessageIcon icon) = 0;
    // A Yes/No question with the question icon and Yes as the default button; true for Yes.
    virtual bool ask(const QString& title, const QString& text) = 0;
    virtual void beep() = 0;

    void warn(const QString& title, const QString& text) { show(title, text, MessageIcon::Exclamation); }
    void info(const QString& title, const QString& text) { show(title, text, MessageIcon::Information); }
};

}  // namespace tsumiki
