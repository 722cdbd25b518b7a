#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

#include "ui/screen.h"

class QCheckBox;
class QLabel;
class QPushButton;

namespace tsumiki {

// The clock screen: the logged-in staff member clocks in (optionally 同伴) and out for the working day and
// sees the day's times and a greeting; an administrator also reaches the sheets and the maintenance menu.
// The opener sets the three login properties before showing it; the screen loads when it is first shown.
class Form1 final : public Screen {
    Q_OBJECT
    Q_PROPERTY(QString LoginUserId READ loginUserId WRITE setLoginUserId)
    Q_PROPERTY(QString LoginUserName READ loginUserName WRITE setLoginUserName)
    Q_PROPERTY(QString LoginAuthority READ loginAuthority WRITE setLoginAuthority)

public:
    explicit Form1(AppContext& context, QWidget* parent = nullptr);

    const QString& loginUserId() const { return loginUserId_; }
    void setLoginUserId(const QString& id) { loginUserId_ = id; }
    const QString& loginUserName() const { return loginUserName_; }
    void setLoginUserName(const QString& name) { loginUserName_ = name; }
    const QString& loginAuthority() const { return loginAuthority_; }
    void setLoginAuthority(const QString& authority) { loginAuthority_ = authority; }

protected:
    void load() override;

private:
    void buildControls();
    // Reads the day's times afresh and sets every label and button from them.
    void refresh();
    void clockIn();
    void clockOut();
    void openSheets();
    void openMaintenance();
    // 出勤 and 同伴 can be used only while no clock-in is shown.
    void applyClockInState();
    // The clock-in shown on the screen (date and time labels); none when nothing usable is shown.
    std::optional<QDateTime> shownClockIn() const;

    QString loginUserId_;
    QString loginUserName_;
    QString loginAuthority_;

    QLabel* today_ = nullptr;
    QLabel* nickname_ = nullptr;
    QLabel* clockInTime_ = nullptr;
    QLabel* clockInDate_ = nullptr;
    QLabel* clockOutTime_ = nullptr;
    QLabel* greeting_ = nullptr;
    QCheckBox* douhanBox_ = nullptr;
    QPushButton* clockInButton_ = nullptr;
    QPushButton* clockOutButton_ = nullptr;
    QPushButton* sheetsButton_ = nullptr;
    QPushButton* maintenanceButton_ = nullptr;
    QPushButton* logOffButton_ = nullptr;
};

}  // namespace tsumiki
