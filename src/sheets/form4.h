#pragma once

#include "sheets/sheetscreen.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace tsumiki {

class Grid;

// 勤務表個人画面: one person's month, day by day, with the worked-time total and the pay at a unit price the user
// may change and recalculate.
class Form4 : public SheetScreen {
    Q_OBJECT
    Q_PROPERTY(QString TargetUserId READ targetUserId WRITE setTargetUserId)
    Q_PROPERTY(QString TargetUserName READ targetUserName WRITE setTargetUserName)
public:
    explicit Form4(AppContext& context, QWidget* parent = nullptr);

    const QString& targetUserId() const { return targetUserId_; }
    void setTargetUserId(const QString& id) { targetUserId_ = id; }
    const QString& targetUserName() const { return targetUserName_; }
    void setTargetUserName(const QString& name) { targetUserName_ = name; }

protected:
    void load() override;

private:
    // Everything load() shows, while the grid is in a batch.
    void fill(const QDate& monthStart);
    // Writes what the sheet shows into its workbook.
    void exportWorkbook();
    void recalculate();

    QString targetUserId_;
    QString targetUserName_;

    Grid* grid_;
    QLabel* nickname_;
    QLabel* month_;
    QPushButton* exportButton_;
    QLabel* total_;
    QLabel* totalCopy_;
    QLineEdit* unitPriceBox_;
    QLabel* amount_;
};

}  // namespace tsumiki
