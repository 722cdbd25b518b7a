#pragma once

#include <QString>

#include "app/programrun.h"
#include "platform/qtadapters.h"

class QWidget;

namespace tsumiki {

// Walks the program through one log-in, clock-in and log-off and saves a picture of each screen on the way into
// `folder`. The screens know nothing of it: it presses their buttons by objectName, as a person would, and
// opens each screen as the program does.
class ScreenshotTour final : public ScreenDriver {
public:
    ScreenshotTour(QString folder, QString userId) : folder_(std::move(folder)), userId_(std::move(userId)) {}

    // Starts the walk on the shown login screen; the login screen is closed at the end.
    void start(QDialog& login) override;
    void showModal(QDialog& screen) override;

private:
    void save(QWidget& screen, const QString& name) const;

    QString folder_;
    QString userId_;
    QtNavigator screens_;
};

}  // namespace tsumiki
