#pragma once

#include <QDialog>

#include "platform/appcontext.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace tsumiki {

class Grid;

// 勤務表個人画面: one person's month, day by day, with the worked-time total and the pay at a unit price the user
// may change and recalculate.
class Form4 : public QDialog {
    Q_OBJECT
    Q_PROPERTY(QString TargetUserId READ targetUserId WRITE setTargetUserId)
    Q_PROPERTY(QString TargetUserName READ targetUserName WRITE setTargetUserName)
    Q_PROPERTY(QString SheetYear READ sheetYear WRITE setSheetYear)
    Q_PROPERTY(QString SheetMonth READ sheetMonth WRITE setSheetMonth)
public:
    explicit Form4(AppContext& context, QWidget* parent = nullptr);

    const QString& targetUserId() const { return targetUserId_; }
    void setTargetUserId(const QString& id) { targetUserId_ = id; }
    const QString& targetUserName() const { return targetUserName_; }
    void setTargetUserName(const QString& name) { targetUserName_ = name; }
    const QString& sheetYear() const { return sheetYear_; }
    void setSheetYear(const QString& year) { sheetYear_ = year; }
    const QString& sheetMonth() const { return sheetMonth_; }
    void setSheetMonth(const QString& month) { sheetMonth_ = month; }

    // Fills the screen from the tables; runs when the screen is first shown.
    void load();

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Everything load() shows, while the grid is in a batch.
    void fill(const QDate& monthStart);
    void recalculate();

    AppContext& context_;
    QString targetUserId_;
    QString targetUserName_;
    QString sheetYear_;
    QString sheetMonth_;
    bool loaded_ = false;

    Grid* grid_;
    QLabel* name_;
    QLabel* month_;
    QLabel* total_;
    QLabel* totalCopy_;
    QLineEdit* unitPrice_;
    QLabel* amount_;
};

}  // namespace tsumiki
