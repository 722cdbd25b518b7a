#pragma once

#include <QDialog>

#include "platform/appcontext.h"

class QLabel;

namespace tsumiki {

class Grid;

// 勤務表全員画面: every user's worked time and pay for one month, one line per user.
class Form5 : public QDialog {
    Q_OBJECT
    Q_PROPERTY(QString SheetYear READ sheetYear WRITE setSheetYear)
    Q_PROPERTY(QString SheetMonth READ sheetMonth WRITE setSheetMonth)
public:
    explicit Form5(AppContext& context, QWidget* parent = nullptr);

    const QString& sheetYear() const { return sheetYear_; }
    void setSheetYear(const QString& year) { sheetYear_ = year; }
    const QString& sheetMonth() const { return sheetMonth_; }
    void setSheetMonth(const QString& month) { sheetMonth_ = month; }

    // Fills the list from the tables; runs when the screen is first shown.
    void load();

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Everything load() shows, while the grid is in a batch.
    void fill();

    AppContext& context_;
    QString sheetYear_;
    QString sheetMonth_;
    bool loaded_ = false;
    Grid* grid_;
    QLabel* month_;
};

}  // namespace tsumiki
