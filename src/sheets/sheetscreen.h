#pragma once

#include <QString>

#include "ui/screen.h"

namespace tsumiki {

// What the two monthly sheet screens share: the year and month they show, set by the opener before the screen
// is shown.
class SheetScreen : public Screen {
    Q_OBJECT
    Q_PROPERTY(QString SheetYear READ sheetYear WRITE setSheetYear)
    Q_PROPERTY(QString SheetMonth READ sheetMonth WRITE setSheetMonth)
public:
    using Screen::Screen;

    const QString& sheetYear() const { return sheetYear_; }
    void setSheetYear(const QString& year) { sheetYear_ = year; }
    const QString& sheetMonth() const { return sheetMonth_; }
    void setSheetMonth(const QString& month) { sheetMonth_ = month; }

private:
    QString sheetYear_;
    QString sheetMonth_;
};

}  // namespace tsumiki
