#include "workbook/officeconnection.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include <langinfo.h>
#include <unistd.h>
#include <com/sun/star/awt/AsyncCallback.hpp>
#include <com/sun/star/awt/XWindow.hpp>
#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/bridge/XUnoUrlResolver.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/uno/Exception.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <cppuhelper/bootstrap.hxx>

#include <atomic>
#include <thread>

#include "workbook/officemainthread.h"
#include "workbook/runningoffice.h"
#include "workbook/unovalues.h"

namespace tsumiki {
namespace {

using namespace com::sun::star;
using uno::Reference;
using uno::UNO_QUERY;
using uno::UNO_QUERY_THROW;

const QString kNoResponse = QStringLiteral("LibreOffice が応答しないため終了させました。");
const QString kGone = QStringLiteral("LibreOffice が途中で終了しました。");
const QString kBusy = QStringLiteral("LibreOffice は別のブックを処理しています。終わってからやり直してください。");

Reference<uno::XComponentContext> localContext(QString& error) {
    static Reference<uno::XComponentContext> context;
    if (!context.is()) {
        // Without it the bootstrap cannot find the type and service registries.
        qputenv("URE_BOOTSTRAP", "vnd.sun.star.pathname:" TSUMIKI_OFFICE_PROGRAM_DIR "/fundamentalrc");
        try {
            context = cppu::defaultBootstrap_InitialComponentContext();
        } catch (const uno::Exception& e) {
            error = QStringLiteral("LibreOffice の実行環境を初期化できませんでした。") + fromOu(e.Message);
        }
    }
    return context;
}

class BusyWhile {
public:
    explicit BusyWhile(bool& busy) : busy_(busy) { busy_ = true; }
    ~BusyWhile() { busy_ = false; }
    BusyWhile(const BusyWhile&) = delete;
    BusyWhile& operator=(const BusyWhile&) = delete;

private:
    bool& busy_;
};

}  // namespace

OfficeConnection::OfficeConnection(const LibreOfficeSettings& settings)
    : settings_(settings), wait_(settings.callTimer ? settings.callTimer : std::make_shared<SteadyCallTimer>()) {}

OfficeConnection::~OfficeConnection() {
    if (!dead_ && desktop_.is() && settings_.showWorkbooks && hasVisibleDocuments()) {
        // The user is working in the workbooks we left open; the office outlives the program.
        process_.detach();
        return;
    }
    stop();
}

bool OfficeConnection::start(QString& error) {
    // Bootstrapped here rather than on the worker: it sets an environment variable, which no other thread may be
    // reading at that moment.
    const Reference<uno::XComponentContext> local = localContext(error);
    if (!local.is()) {
        dead_ = true;
        return false;
    }
    QDir().mkpath(settings_.profileFolder);
    profileUrl_ = fileUrl(settings_.profileFolder);
    QString url;
    if (const std::optional<RunningOffice> running = findOfficeUsing(profileUrl_)) {
        if (running->connectUrl.isEmpty()) {
            error = QStringLiteral(
                "LibreOffice に接続できませんでした（このプログラム用の LibreOffice が接続を受け付けて"
                "いません）。LibreOffice を終了してからやり直してください。");
            dead_ = true;
            return false;
        }
        process_.adopt(running->pid);
        url = running->connectUrl;
    } else {
        static std::atomic<int> counter = 0;
        const QString accept =
            QStringLiteral("pipe,name=tsumiki_%1_%2;urp;StarOffice.ComponentContext").arg(getpid()).arg(++counter);
        QStringList args{QStringLiteral("--nologo"),           QStringLiteral("--norestore"),
                         QStringLiteral("--nodefault"),        QStringLiteral("--nolockcheck"),
                         QStringLiteral("--accept=") + accept, QStringLiteral("-env:UserInstallation=") + profileUrl_};
        if (!settings_.showWorkbooks) {
            args.prepend(QStringLiteral("--headless"));
        }
        QStringList env;
        // Japanese file names need a UTF-8 locale in the office as well.
        if (QByteArray(nl_langinfo(CODESET)) != "UTF-8") {
            env << QStringLiteral("LC_ALL=C.UTF-8");
        }
        if (!process_.start(settings_.program, args, env)) {
            error = QStringLiteral("LibreOffice を起動できませんでした（%1）。").arg(process_.errorString());
            dead_ = true;
            return false;
        }
        url = QStringLiteral("uno:") + accept;
    }
    const BusyWhile busy(busy_);
    bool connected = false;
    if (!wait_.run([&] { connected = connect(local, url, error); },
                   std::chrono::milliseconds(settings_.firstUseMilliseconds), [this] { process_.interrupt(); })) {
        error = QStringLiteral("LibreOffice が時間内に起動しませんでした。");
    }
    if (!connected) {
        process_.kill();
        dead_ = true;
    }
    return connected;
}

bool OfficeConnection::connect(const Reference<uno::XComponentContext>& local, const QString& url, QString& error) {
    try {
        Reference<bridge::XUnoUrlResolver> resolver = bridge::UnoUrlResolver::create(local);
        for (;;) {
            try {
                Reference<uno::XComponentContext> remote(resolver->resolve(toOu(url)), UNO_QUERY_THROW);
                desktop_ = frame::Desktop::create(remote);
                mainThread_ = awt::AsyncCallback::create(remote);
                return true;
            } catch (const connection::NoConnectException&) {
                if (!process_.isRunning()) {
                    error = QStringLiteral("LibreOffice を起動できませんでした（起動直後に終了しました）。");
                    return false;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
        }
    } catch (const uno::Exception& e) {
        error = QStringLiteral("LibreOffice に接続できませんでした（%1）。").arg(fromOu(e.Message));
        return false;
    }
}

bool OfficeConnection::alive() {
    // While a call is out the process is the worker's to watch.
    return !dead_ && (busy_ || process_.isRunning());
}

bool OfficeConnection::call(QString& error, const QString& what, const std::function<void()>& step, OfficeStep kind) {
    if (dead_) {
        error = kGone;
        return false;
    }
    if (busy_) {
        error = kBusy;
        return false;
    }
    const BusyWhile busy(busy_);
    const int bound =
        kind == OfficeStep::Load && !loadedOnce_ ? settings_.firstUseMilliseconds : settings_.callMilliseconds;
    const auto work = [&] {
        if (kind == OfficeStep::Document) {
            step();
        } else {
            runOnOfficeMainThread(mainThread_, step, [this] { return !process_.isRunning(); });
        }
    };
    bool ok = false;
    try {
        if (wait_.run(work, std::chrono::milliseconds(bound), [this] { process_.interrupt(); })) {
            ok = true;
        } else {
            error = kNoResponse;
            dead_ = true;
        }
    } catch (const lang::DisposedException&) {
        // The bridge went away with its office.
        dead_ = true;
        error = kGone;
    } catch (const uno::Exception& e) {
        error = what + QStringLiteral("（%1）").arg(fromOu(e.Message));
        if (!process_.isRunning()) {
            dead_ = true;
            error = kGone;
        }
    }
    if (dead_) {
        process_.kill();
    }
    loadedOnce_ = loadedOnce_ || (ok && kind == OfficeStep::Load);
    return ok;
}

bool OfficeConnection::hasDocument(const QString& path, QString& error, bool& found) {
    found = false;
    const QString wanted = QFileInfo(path).absoluteFilePath();
    return call(error, QStringLiteral("LibreOffice の文書一覧を取得できませんでした。"), [&] {
        Reference<container::XEnumeration> e = desktop_->getComponents()->createEnumeration();
        while (e->hasMoreElements()) {
            Reference<frame::XModel> model(e->nextElement(), UNO_QUERY);
            if (model.is() && QUrl(fromOu(model->getURL())).toLocalFile() == wanted) {
                found = true;
            }
        }
    });
}

void OfficeConnection::stop() {
    if (!dead_ && desktop_.is() && process_.isRunning()) {
        QString ignored;
        call(
            ignored, QString(),
            [&] {
                Reference<container::XEnumeration> e = desktop_->getComponents()->createEnumeration();
                while (e->hasMoreElements()) {
                    Reference<util::XCloseable> doc(e->nextElement(), UNO_QUERY);
                    if (doc.is()) {
                        doc->close(true);
                    }
                }
            },
            OfficeStep::Window);
        call(ignored, QString(), [&] { desktop_->terminate(); });
        process_.waitForExit(5000);
    }
    desktop_.clear();
    mainThread_.clear();
    process_.kill();
    dead_ = true;
}

bool OfficeConnection::hasVisibleDocuments() {
    bool any = false;
    QString ignored;
    call(ignored, QString(), [&] {
        Reference<container::XEnumeration> e = desktop_->getComponents()->createEnumeration();
        while (e->hasMoreElements()) {
            Reference<frame::XModel> model(e->nextElement(), UNO_QUERY);
            if (model.is() && model->getCurrentController().is()) {
                Reference<awt::XWindow> w = model->getCurrentController()->getFrame()->getContainerWindow();
                any = any || w.is();
            }
        }
    });
    return any;
}

}  // namespace tsumiki
