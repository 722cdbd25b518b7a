#pragma once

#include <QString>

#include <memory>

#include "platform/navigator.h"

class QWidget;

namespace tsumiki {

// Walks the program through one log-in, clock-in and log-off for tools/screenshot.sh and saves a picture of
// each screen on the way. It exists only when TSUMIKI_SCREENSHOT_DIR names a folder; the screens know nothing
// of it: it presses their buttons by objectName, as a person would.
class ScreenshotTour final : public Navigator {
public:
    // Null unless the variable is set.
    static std::unique_ptr<ScreenshotTour> fromEnvironment(Navigator& screens);

    // Starts the walk on the shown login screen; the login screen is closed at the end.
    void start(QDialog& login);
    void showModal(QDialog& screen) override;

private:
    ScreenshotTour(QString folder, QString userId, Navigator& screens)
        : folder_(std::move(folder)), userId_(std::move(userId)), screens_(screens) {}
    void save(QWidget& screen, const QString& name) const;

    QString folder_;
    QString userId_;
    Navigator& screens_;
};

}  // namespace tsumiki
