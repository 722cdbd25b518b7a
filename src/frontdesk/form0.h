#pragma once

#include <QDialog>

#include "platform/appcontext.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace tsumiki {

// The login screen, the first screen of the program: a staff member types their ID, sees their nickname and
// goes on to the clock screen. Closing it ends the program.
class Form0 final : public QDialog {
    Q_OBJECT

public:
    explicit Form0(AppContext& ctx, QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildControls();
    // Looks the typed ID up and shows the nickname or the refusal; 入力 is enabled only for an accepted ID.
    void checkId();
    // Opens the clock screen for the accepted user and clears the screen for the next person afterwards.
    void goOn();

    AppContext& ctx_;
    QLineEdit* text1_ = nullptr;
    QLabel* label2_ = nullptr;
    QLabel* label3_ = nullptr;
    QPushButton* cmdNext_ = nullptr;
    QPushButton* cmdEnd_ = nullptr;
};

}  // namespace tsumiki
