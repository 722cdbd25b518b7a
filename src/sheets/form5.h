#pragma once

#include "sheets/sheetscreen.h"

class QLabel;

class QPushButton;

namespace tsumiki {

class Grid;

// 勤務表全員画面: every user's worked time and pay for one month, one line per user.
class Form5 : public SheetScreen {
    Q_OBJECT
public:
    explicit Form5(AppContext& context, QWidget* parent = nullptr);

protected:
    void load() override;

private:
    // Everything load() shows, while the grid is in a batch.
    void fill();
    // Writes what the sheet shows into its workbook.
    void exportWorkbook();

    Grid* grid_;
    QLabel* month_;
    QPushButton* exportButton_;
};

}  // namespace tsumiki
