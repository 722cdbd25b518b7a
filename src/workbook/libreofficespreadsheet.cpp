#include "workbook/libreofficespreadsheet.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>
#include <QUrl>

#include <langinfo.h>
#include <unistd.h>
#include <com/sun/star/awt/XTopWindow.hpp>
#include <com/sun/star/awt/XWindow.hpp>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/bridge/XUnoUrlResolver.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/sheet/XSpreadsheetView.hpp>
#include <com/sun/star/table/CellContentType.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/task/XInteractionAbort.hpp>
#include <com/sun/star/task/XInteractionHandler.hpp>
#include <com/sun/star/task/XInteractionRequest.hpp>
#include <com/sun/star/text/XTextRange.hpp>
#include <com/sun/star/uno/Exception.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/util/XProtectable.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <cppuhelper/implbase1.hxx>
#include <rtl/ref.hxx>

#include <atomic>

#include "workbook/lockfile.h"
#include "workbook/officeprocess.h"
#include "workbook/xlsencryption.h"

using namespace com::sun::star;
using com::sun::star::uno::Reference;
using com::sun::star::uno::UNO_QUERY;
using com::sun::star::uno::UNO_QUERY_THROW;

namespace tsumiki {
namespace {

rtl::OUString toOu(const QString& s) {
    return rtl::OUString(reinterpret_cast<const sal_Unicode*>(s.utf16()), static_cast<sal_Int32>(s.size()));
}

QString fromOu(const rtl::OUString& s) {
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(s.getStr()), s.getLength());
}

QString fileUrl(const QString& path) {
    return QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded);
}

uno::Sequence<beans::PropertyValue> properties(std::initializer_list<beans::PropertyValue> list) {
    return uno::Sequence<beans::PropertyValue>(list.begin(), static_cast<sal_Int32>(list.size()));
}

beans::PropertyValue property(const char* name, const uno::Any& value) {
    beans::PropertyValue p;
    p.Name = rtl::OUString::createFromAscii(name);
    p.Value = value;
    return p;
}

const QString kNoResponse = QStringLiteral("LibreOffice が応答しないため終了させました。");
const QString kGone = QStringLiteral("LibreOffice が途中で終了しました。");

// Answers every question the office would put on screen (a stale lock, a password, a repair) with "cancel", so a
// load never waits for a dialog that nobody can see; remembers whether a password was asked for.
class NoDialogs final : public cppu::WeakImplHelper1<task::XInteractionHandler> {
public:
    void SAL_CALL handle(const Reference<task::XInteractionRequest>& request) override {
        const QString type = fromOu(request->getRequest().getValueTypeName());
        if (type.contains(u"PasswordRequest")) {
            passwordAsked = true;
        }
        for (const Reference<task::XInteractionContinuation>& c : request->getContinuations()) {
            Reference<task::XInteractionAbort> abort(c, UNO_QUERY);
            if (abort.is()) {
                abort->select();
                return;
            }
        }
    }
    std::atomic<bool> passwordAsked = false;
};

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

}  // namespace

// One running office and the connection to it.
class LibreOfficeSpreadsheet::Office {
public:
    explicit Office(const LibreOfficeSettings& settings)
        : settings_(settings), deadline_([this] { process_.interrupt(); }) {}

    ~Office() {
        if (!dead_ && settings_.showWorkbooks && hasVisibleDocuments()) {
            // The user is working in the workbooks we left open; the office outlives the program.
            process_.detach();
            return;
        }
        stop();
    }

    bool start(QString& error) {
        const Reference<uno::XComponentContext> local = localContext(error);
        if (!local.is()) {
            return false;
        }
        static std::atomic<int> counter = 0;
        const QString pipe = QStringLiteral("tsumiki_%1_%2").arg(getpid()).arg(++counter);
        QDir().mkpath(settings_.profileFolder);
        profileUrl_ = fileUrl(settings_.profileFolder);
        QStringList args{QStringLiteral("--nologo"),
                         QStringLiteral("--norestore"),
                         QStringLiteral("--nodefault"),
                         QStringLiteral("--nolockcheck"),
                         QStringLiteral("--accept=pipe,name=%1;urp;StarOffice.ComponentContext").arg(pipe),
                         QStringLiteral("-env:UserInstallation=") + profileUrl_};
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
            return false;
        }
        deadline_.arm(settings_.startMilliseconds);
        const bool connected = connect(local, pipe, error);
        deadline_.disarm();
        if (!connected) {
            if (deadline_.expired()) {
                error = QStringLiteral("LibreOffice が時間内に起動しませんでした。");
            }
            process_.kill();
            dead_ = true;
        }
        return connected;
    }

    bool alive() { return !dead_ && process_.isRunning(); }
    qint64 pid() const { return process_.pid(); }

    // Runs one step against the office within the call time; false with a Japanese error on any failure.
    template <typename Step>
    bool call(QString& error, const QString& what, Step&& step) {
        if (dead_) {
            error = kGone;
            return false;
        }
        deadline_.arm(settings_.callMilliseconds);
        bool ok = false;
        try {
            step();
            ok = true;
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
        deadline_.disarm();
        if (deadline_.expired()) {
            error = kNoResponse;
            dead_ = true;
        }
        if (dead_) {
            process_.kill();
        }
        return ok;
    }

    bool hasDocument(const QString& url, QString& error, bool& found) {
        found = false;
        return call(error, QStringLiteral("LibreOffice の文書一覧を取得できませんでした。"), [&] {
            Reference<container::XEnumeration> e = desktop_->getComponents()->createEnumeration();
            while (e->hasMoreElements()) {
                Reference<frame::XModel> model(e->nextElement(), UNO_QUERY);
                if (model.is() && fromOu(model->getURL()) == url) {
                    found = true;
                }
            }
        });
    }

    const Reference<frame::XDesktop2>& desktop() const { return desktop_; }
    const QString& profileUrl() const { return profileUrl_; }
    const LibreOfficeSettings& settings() const { return settings_; }

    void stop() {
        if (!dead_ && process_.isRunning() && desktop_.is()) {
            QString ignored;
            call(ignored, QString(), [&] {
                Reference<container::XEnumeration> e = desktop_->getComponents()->createEnumeration();
                while (e->hasMoreElements()) {
                    Reference<util::XCloseable> doc(e->nextElement(), UNO_QUERY);
                    if (doc.is()) {
                        doc->close(true);
                    }
                }
                desktop_->terminate();
            });
            process_.waitForExit(5000);
        }
        desktop_.clear();
        process_.kill();
        dead_ = true;
    }

private:
    bool connect(const Reference<uno::XComponentContext>& local, const QString& pipe, QString& error) {
        const rtl::OUString url = toOu(QStringLiteral("uno:pipe,name=%1;urp;StarOffice.ComponentContext").arg(pipe));
        try {
            Reference<bridge::XUnoUrlResolver> resolver = bridge::UnoUrlResolver::create(local);
            for (;;) {
                try {
                    Reference<uno::XComponentContext> remote(resolver->resolve(url), UNO_QUERY_THROW);
                    desktop_ = frame::Desktop::create(remote);
                    return true;
                } catch (const connection::NoConnectException&) {
                    if (!process_.isRunning() || deadline_.expired()) {
                        error = QStringLiteral("LibreOffice を起動できませんでした（起動直後に終了しました）。");
                        return false;
                    }
                    QThread::msleep(50);
                }
            }
        } catch (const uno::Exception& e) {
            error = QStringLiteral("LibreOffice に接続できませんでした（%1）。").arg(fromOu(e.Message));
            return false;
        }
    }

    bool hasVisibleDocuments() {
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

    LibreOfficeSettings settings_;
    OfficeProcess process_;
    CallDeadline deadline_;
    Reference<frame::XDesktop2> desktop_;
    QString profileUrl_;
    bool dead_ = false;
};

namespace {

class LibreOfficeWorkbook final : public Workbook {
public:
    LibreOfficeWorkbook(std::shared_ptr<LibreOfficeSpreadsheet::Office> office, Reference<lang::XComponent> document,
                        Reference<sheet::XSpreadsheet> sheet)
        : office_(std::move(office)), document_(std::move(document)), sheet_(std::move(sheet)) {}

    // A workbook given up half-way is closed, so that it holds no lock on its file.
    ~LibreOfficeWorkbook() override {
        if (document_.is()) {
            QString ignored;
            office_->call(ignored, QString(),
                          [&] { Reference<util::XCloseable>(document_, UNO_QUERY_THROW)->close(true); });
        }
    }

    bool unprotectSheet() override {
        return office_->call(error_, QStringLiteral("シートの保護を解除できませんでした。"), [&] {
            Reference<util::XProtectable>(sheet_, UNO_QUERY_THROW)->unprotect(rtl::OUString());
        });
    }
    bool protectSheet() override {
        return office_->call(error_, QStringLiteral("シートを保護できませんでした。"),
                             [&] { Reference<util::XProtectable>(sheet_, UNO_QUERY_THROW)->protect(rtl::OUString()); });
    }
    std::optional<bool> isSheetProtected() override {
        bool on = false;
        if (!office_->call(error_, QStringLiteral("シートの保護を確かめられませんでした。"),
                           [&] { on = Reference<util::XProtectable>(sheet_, UNO_QUERY_THROW)->isProtected(); })) {
            return std::nullopt;
        }
        return on;
    }

    std::optional<CellContent> cell(int row, int column) override {
        CellContent content;
        if (!office_->call(error_, cellError(QStringLiteral("読めません"), row, column), [&] {
                Reference<table::XCell> c = sheet_->getCellByPosition(column - 1, row - 1);
                switch (c->getType()) {
                    case table::CellContentType_EMPTY:
                        return;
                    case table::CellContentType_TEXT:
                        content.kind = CellContent::Kind::Text;
                        break;
                    case table::CellContentType_VALUE:
                        content.kind = CellContent::Kind::Number;
                        break;
                    default:
                        content.kind = CellContent::Kind::Formula;
                        break;
                }
                content.number = c->getValue();
                content.text = fromOu(Reference<text::XTextRange>(c, UNO_QUERY_THROW)->getString());
            })) {
            return std::nullopt;
        }
        return content;
    }

    bool writeText(int row, int column, const QString& text) override {
        return office_->call(error_, cellError(QStringLiteral("書き込めません"), row, column), [&] {
            Reference<text::XTextRange>(sheet_->getCellByPosition(column - 1, row - 1), UNO_QUERY_THROW)
                ->setString(toOu(text));
        });
    }
    bool writeNumber(int row, int column, double value) override {
        return office_->call(error_, cellError(QStringLiteral("書き込めません"), row, column),
                             [&] { sheet_->getCellByPosition(column - 1, row - 1)->setValue(value); });
    }

    bool saveAs(const QString& path, const QString& password) override {
        uno::Sequence<beans::PropertyValue> args = properties(
            {property("FilterName", uno::Any(rtl::OUString("MS Excel 97"))), property("Overwrite", uno::Any(true))});
        if (!password.isEmpty()) {
            args.realloc(3);
            args.getArray()[2] = property("Password", uno::Any(toOu(password)));
        }
        const QString name = QFileInfo(path).fileName();
        if (!office_->call(error_, QStringLiteral("ブックを保存できませんでした：%1").arg(name), [&] {
                Reference<frame::XStorable>(document_, UNO_QUERY_THROW)->storeAsURL(toOu(fileUrl(path)), args);
            })) {
            return false;
        }
        if (!password.isEmpty() && XlsEncryptionOf(path) != XlsEncryption::Encrypted) {
            error_ = QStringLiteral("保存したブックにパスワードが掛かっていません：%1").arg(name);
            return false;
        }
        return true;
    }

    void showAndLeaveOpen() override {
        QString ignored;
        if (!office_->settings().showWorkbooks) {
            office_->call(ignored, QString(),
                          [&] { Reference<util::XCloseable>(document_, UNO_QUERY_THROW)->close(true); });
            document_.clear();
            return;
        }
        office_->call(ignored, QString(), [&] {
            Reference<frame::XController> controller =
                Reference<frame::XModel>(document_, UNO_QUERY_THROW)->getCurrentController();
            Reference<sheet::XSpreadsheetView>(controller, UNO_QUERY_THROW)->setActiveSheet(sheet_);
            Reference<awt::XWindow> window = controller->getFrame()->getContainerWindow();
            Reference<awt::XTopWindow> top(window, UNO_QUERY);
            if (top.is()) {
                top->toFront();
            }
        });
        document_.clear();
    }

    QString errorString() const override { return error_; }

private:
    static QString cellError(const QString& what, int row, int column) {
        return QStringLiteral("セル %1%2 に%3。").arg(QChar(u'A' + column - 1)).arg(row).arg(what);
    }

    std::shared_ptr<LibreOfficeSpreadsheet::Office> office_;
    Reference<lang::XComponent> document_;
    Reference<sheet::XSpreadsheet> sheet_;
    QString error_;
};

}  // namespace

LibreOfficeSpreadsheet::LibreOfficeSpreadsheet(LibreOfficeSettings settings) : settings_(std::move(settings)) {
    if (settings_.profileFolder.isEmpty()) {
        settings_.profileFolder = defaultProfileFolder();
    }
}

LibreOfficeSpreadsheet::~LibreOfficeSpreadsheet() = default;

bool LibreOfficeSpreadsheet::isInstalled(const LibreOfficeSettings& settings) {
    return QFileInfo(settings.program).isExecutable();
}

QString LibreOfficeSpreadsheet::defaultProfileFolder() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation))
        .filePath(QStringLiteral("tsumiki/libreoffice-profile"));
}

qint64 LibreOfficeSpreadsheet::processId() const {
    return office_ ? office_->pid() : -1;
}

void LibreOfficeSpreadsheet::shutDown() {
    if (office_) {
        office_->stop();
        office_.reset();
    }
}

bool LibreOfficeSpreadsheet::ensureRunning() {
    if (office_ && office_->alive()) {
        return true;
    }
    office_.reset();
    if (!isInstalled(settings_)) {
        error_ = QStringLiteral("LibreOffice Calc が見つかりません（%1）。インストールしてください。")
                     .arg(settings_.program);
        return false;
    }
    auto office = std::make_shared<Office>(settings_);
    if (!office->start(error_)) {
        return false;
    }
    office_ = std::move(office);
    return true;
}

std::unique_ptr<Workbook> LibreOfficeSpreadsheet::open(const QString& path, const QString& password) {
    if (!ensureRunning()) {
        return nullptr;
    }
    const QString name = QFileInfo(path).fileName();
    rtl::Reference<NoDialogs> noDialogs = new NoDialogs;
    uno::Sequence<beans::PropertyValue> args = properties(
        {property("Hidden", uno::Any(!settings_.showWorkbooks)),
         property("InteractionHandler", uno::Any(Reference<task::XInteractionHandler>(noDialogs.get()))),
         property("MacroExecutionMode", uno::Any(sal_Int16(0))), property("UpdateDocMode", uno::Any(sal_Int16(0)))});
    if (!password.isEmpty()) {
        args.realloc(5);
        args.getArray()[4] = property("Password", uno::Any(toOu(password)));
    }
    Reference<lang::XComponent> document;
    Reference<sheet::XSpreadsheet> sheet;
    const bool ok = office_->call(error_, QStringLiteral("ブックを開けませんでした：%1").arg(name), [&] {
        document = office_->desktop()->loadComponentFromURL(toOu(fileUrl(path)), "_blank", 0, args);
        if (!document.is()) {
            return;
        }
        Reference<sheet::XSpreadsheetDocument> book(document, UNO_QUERY);
        Reference<container::XIndexAccess> sheets(book.is() ? book->getSheets() : nullptr, UNO_QUERY);
        if (sheets.is() && sheets->getCount() > 0) {
            sheets->getByIndex(0) >>= sheet;
        }
    });
    if (ok && document.is() && sheet.is()) {
        return std::make_unique<LibreOfficeWorkbook>(office_, document, sheet);
    }
    if (ok && document.is()) {
        office_->call(error_, QString(), [&] { Reference<util::XCloseable>(document, UNO_QUERY_THROW)->close(true); });
        error_ = QStringLiteral("表計算のブックではありません：%1").arg(name);
    } else if (office_->alive() && noDialogs->passwordAsked) {
        // Whether the office then returns nothing or throws, the cause is the password.
        error_ = QStringLiteral("パスワードが違うため、ブックを開けませんでした：%1").arg(name);
    } else if (ok) {
        error_ = QStringLiteral("ブックを開けませんでした：%1").arg(name);
    }
    return nullptr;
}

bool LibreOfficeSpreadsheet::isInUse(const QString& path) {
    if (!QFileInfo::exists(path)) {
        return false;
    }
    if (office_ && office_->alive()) {
        bool found = false;
        if (office_->hasDocument(fileUrl(path), error_, found) && found) {
            return true;
        }
    }
    const std::optional<lockfile::Owner> owner = lockfile::read(path);
    if (!owner) {
        return false;
    }
    // Another machine's office cannot be asked; its lock is taken at its word.
    if (!owner->host.isEmpty() && owner->host != lockfile::localHostName()) {
        return true;
    }
    const bool ours = office_ && lockfile::isSameProfile(owner->profileUrl, office_->profileUrl());
    if (!ours && lockfile::isProfileInUse(owner->profileUrl)) {
        return true;
    }
    // Left behind by an office that crashed or was killed: out of the way, or the office would ask about it.
    return !QFile::remove(lockfile::pathFor(path));
}

}  // namespace tsumiki
