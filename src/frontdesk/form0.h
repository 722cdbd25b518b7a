#pragma once

#include "ui/screen.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace tsumiki {

// The login screen, the first screen of the program: a staff member types their ID, sees their nickname and
// goes on to the clock screen. Closing it ends the program.
class Form0 final : public Screen {
    Q_OBJECT

public:
    explicit Form0(AppContext& context, QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    // Looks the typed ID up and shows the nickname or the refusal; 入力 is enabled only for an accepted ID.
    void checkId();
    // Opens the clock screen for the accepted user and clears the screen for the next person afterwards.
    void goOn();

    QLineEdit* userIdBox_ = nullptr;
    QLabel* nickname_ = nullptr;
    QLabel* refusal_ = nullptr;
    QPushButton* nextButton_ = nullptr;
    QPushButton* endButton_ = nullptr;
};

}  // namespace tsumiki
