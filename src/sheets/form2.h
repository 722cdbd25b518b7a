#pragma once

#include "ui/screen.h"

class QComboBox;
class QLineEdit;

namespace tsumiki {

// 勤務表選択画面: the person, year and month of a monthly sheet. It opens the individual or the all-staff sheet
// and keeps its choices while they are open, so several sheets can be looked at one after another.
class Form2 : public Screen {
    Q_OBJECT
public:
    explicit Form2(AppContext& context, QWidget* parent = nullptr);

protected:
    void load() override;

private:
    void openIndividualSheet();
    void openStaffSheet();
    // The month text "01"–"12" of the chosen entry; empty when none is chosen.
    QString sheetMonth() const;
    // Shows the message with the title エラー; always false, so checks read as `return refuse(...)`.
    bool refuse(const QString& text);
    bool checkYear();

    QComboBox* people_;
    QLineEdit* yearBox_;
    QComboBox* months_;
};

}  // namespace tsumiki
