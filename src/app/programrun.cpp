#include "app/programrun.h"

#include <QDir>
#include <QGuiApplication>
#include <QTextStream>

#include "app/appfolder.h"
#include "app/errorboundary.h"
#include "app/startup.h"
#include "frontdesk/form0.h"
#include "platform/qtadapters.h"
#include "platform/systemrandom.h"
#include "store/storeerror.h"
#include "ui/appcontext.h"
#include "workbook/libreofficespreadsheet.h"

namespace tsumiki {
namespace {

// The boundary lives on runProgram's stack; the application object outlives it.
struct BoundaryScope {
    BoundaryScope(GuardedApplication& app, ErrorBoundary& boundary) : app_(app) { app_.setBoundary(&boundary); }
    ~BoundaryScope() { app_.setBoundary(nullptr); }
    GuardedApplication& app_;
};

}  // namespace

int runProgram(GuardedApplication& app, const Clock& clock, ScreenDriver* driver) {
    useJapaneseFont();

    QtMessageBoxes boxes;
    const bool anyoneToAnswer = QGuiApplication::platformName() != u"offscreen";
    ErrorBoundary boundary(anyoneToAnswer ? &boxes : nullptr, [](int status) { QCoreApplication::exit(status); });
    const BoundaryScope scope(app, boundary);

    try {
        // A per-user folder is made whole first; a new shop's user table means someone must be told how to begin.
        const ApplicationFolder folder = chooseApplicationFolder(
            QCoreApplication::applicationDirPath(), qEnvironmentVariable("XDG_DATA_HOME"), QDir::homePath());
        const bool newShop =
            !folder.portable && completeApplicationFolder(folder.path, startingFolder()).createdUsers();
        TableStore store(folder.path);
        checkDataFolder(store);
        if (newShop) {
            const QString notice = firstStartNotice(store.appFolder());
            QTextStream(stdout) << notice << Qt::endl;
            if (anyoneToAnswer) {
                boxes.info(QStringLiteral("データフォルダ"), notice);
            }
        }

        SystemRandom random(clock);
        QtNavigator screens;
        // Calc starts with the first export; with a screen to show them on, the saved workbooks stay open there.
        LibreOfficeSpreadsheet spreadsheet(LibreOfficeSettings{
            .profileFolder = LibreOfficeSpreadsheet::defaultProfileFolder(),
            .showWorkbooks = anyoneToAnswer &&
                             (qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY"))});
        EventLoopPause pause;
        Navigator& navigator = driver ? static_cast<Navigator&>(*driver) : screens;
        AppContext ctx{store, clock, random, boxes, navigator, spreadsheet, pause};

        Form0 login(ctx);
        QObject::connect(&login, &QDialog::finished, &app, &QCoreApplication::quit);
        login.show();
        if (driver) {
            driver->start(login);
        }
        const int status = app.exec();
        return boundary.failed() ? ErrorBoundary::kExitStatus : status;
    } catch (const StoreError& e) {
        boundary.report(e.message());
        return ErrorBoundary::kExitStatus;
    }
}

}  // namespace tsumiki
