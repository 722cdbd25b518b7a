#pragma once

#include <QDialog>

#include "platform/appcontext.h"

class QComboBox;
class QLineEdit;

namespace tsumiki {

// 勤務表選択画面: the person, year and month of a monthly sheet. It opens the individual or the all-staff sheet
// and keeps its choices while they are open, so several sheets can be looked at one after another.
class Form2 : public QDialog {
    Q_OBJECT
public:
    explicit Form2(AppContext& context, QWidget* parent = nullptr);

private:
    void load();
    void openIndividualSheet();
    void openStaffSheet();
    // The month text "01"–"12" of the chosen entry; empty when none is chosen.
    QString sheetMonth() const;
    // Shows the message with the title エラー; always false, so checks read as `return refuse(...)`.
    bool refuse(const QString& text);
    bool checkYear();

    AppContext& context_;
    QComboBox* people_;
    QLineEdit* year_;
    QComboBox* months_;
};

}  // namespace tsumiki
