#include <QGuiApplication>

#include <memory>

#include "app/errorboundary.h"
#include "app/screenshottour.h"
#include "app/startup.h"
#include "frontdesk/form0.h"
#include "platform/qtadapters.h"
#include "platform/systemrandom.h"
#include "store/storeerror.h"
#include "ui/appcontext.h"
#include "workbook/libreofficespreadsheet.h"

using namespace tsumiki;

int main(int argc, char** argv) {
    GuardedApplication app(argc, argv);
    useJapaneseFont();

    QtMessageBoxes boxes;
    const bool anyoneToAnswer = QGuiApplication::platformName() != u"offscreen";
    ErrorBoundary boundary(anyoneToAnswer ? &boxes : nullptr, [](int status) { QCoreApplication::exit(status); });
    app.setBoundary(&boundary);

    try {
        TableStore store(applicationFolder());
        checkDataFolder(store);

        SystemClock clock;
        SystemRandom random(clock);
        QtNavigator screens;
        // Calc starts with the first export; with a screen to show them on, the saved workbooks stay open there.
        LibreOfficeSpreadsheet spreadsheet(LibreOfficeSettings{
            .profileFolder = LibreOfficeSpreadsheet::defaultProfileFolder(),
            .showWorkbooks = anyoneToAnswer &&
                             (qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY"))});
        EventLoopPause pause;
        const std::unique_ptr<ScreenshotTour> tour = ScreenshotTour::fromEnvironment(screens);
        Navigator& navigator = tour ? static_cast<Navigator&>(*tour) : screens;
        AppContext ctx{store, clock, random, boxes, navigator, spreadsheet, pause};

        Form0 login(ctx);
        QObject::connect(&login, &QDialog::finished, &app, &QCoreApplication::quit);
        login.show();
        if (tour) {
            tour->start(login);
        }
        const int status = app.exec();
        return boundary.failed() ? ErrorBoundary::kExitStatus : status;
    } catch (const StoreError& e) {
        boundary.report(e.message());
        return ErrorBoundary::kExitStatus;
    }
}
