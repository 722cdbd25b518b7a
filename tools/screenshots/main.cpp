// tsumiki-screenshots: the program's own screens, walked through without a person, with a picture of each saved.
// Used by tools/screenshot.sh and the tests; never installed, so the installed program carries no such walk.
//   tsumiki-screenshots <picture folder> [user ID]      (the user ID defaults to the administrator 0001)

#include <QApplication>
#include <QDir>
#include <QTextStream>

#include "app/errorboundary.h"
#include "app/programrun.h"
#include "screenshottour.h"

using namespace tsumiki;

namespace {

// A Monday evening of the sample data's month, so that the pictures are the same on every run and the
// clock-in lands beside the sample's clock rows.
class WalkClock final : public Clock {
public:
    QDateTime now() const override { return QDateTime(QDate(2026, 11, 30), QTime(18, 55)); }
};

}  // namespace

int main(int argc, char** argv) {
    GuardedApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() < 2 || args.size() > 3) {
        QTextStream(stderr) << "usage: tsumiki-screenshots <picture folder> [user ID]" << Qt::endl;
        return 2;
    }
    // The walk clocks in: it must never reach a shop's per-user data folder, only a copy beside it.
    if (!QDir(QApplication::applicationDirPath()).exists(QStringLiteral("DB"))) {
        QTextStream(stderr) << "tsumiki-screenshots: copy this program beside a DB folder to walk through" << Qt::endl;
        return 2;
    }
    QApplication::setCursorFlashTime(0);  // a steady caret, so that a picture does not depend on when it was taken
    QDir().mkpath(args[1]);
    ScreenshotTour tour(args[1], args.value(2, QStringLiteral("0001")));
    WalkClock clock;
    return runProgram(app, clock, &tour);
}
