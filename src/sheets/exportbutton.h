#pragma once

#include <QPointer>
#include <QPushButton>

namespace tsumiki {

// Keeps the export button disabled for as long as an export runs, so that it cannot start twice during its wait,
// and enables it again however the export ends.
class ExportButtonHold {
public:
    explicit ExportButtonHold(QPushButton& button) : button_(&button) { button.setEnabled(false); }
    ~ExportButtonHold() {
        if (button_) {
            button_->setEnabled(true);
        }
    }
    ExportButtonHold(const ExportButtonHold&) = delete;
    ExportButtonHold& operator=(const ExportButtonHold&) = delete;

private:
    QPointer<QPushButton> button_;
};

}  // namespace tsumiki
