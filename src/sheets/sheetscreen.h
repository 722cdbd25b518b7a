#pragma once

#include <QDialog>
#include <QString>

namespace tsumiki {

// What the two monthly sheet screens share: the year and month they show, set by the opener before the screen
// is shown, and loading from the tables when first shown.
class SheetScreen : public QDialog {
    Q_OBJECT
    Q_PROPERTY(QString SheetYear READ sheetYear WRITE setSheetYear)
    Q_PROPERTY(QString SheetMonth READ sheetMonth WRITE setSheetMonth)
public:
    using QDialog::QDialog;

    const QString& sheetYear() const { return sheetYear_; }
    void setSheetYear(const QString& year) { sheetYear_ = year; }
    const QString& sheetMonth() const { return sheetMonth_; }
    void setSheetMonth(const QString& month) { sheetMonth_ = month; }

    // Fills the screen from the tables; runs when the screen is first shown.
    virtual void load() = 0;

protected:
    void showEvent(QShowEvent* event) override {
        if (!loaded_) {
            loaded_ = true;
            load();
        }
        QDialog::showEvent(event);
    }

private:
    QString sheetYear_;
    QString sheetMonth_;
    bool loaded_ = false;
};

}  // namespace tsumiki
