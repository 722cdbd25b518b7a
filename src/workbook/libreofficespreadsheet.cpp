#include "workbook/libreofficespreadsheet.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/task/XInteractionHandler.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <rtl/ref.hxx>

#include "workbook/libreofficeworkbook.h"
#include "workbook/lockfile.h"
#include "workbook/nodialogs.h"
#include "workbook/officeconnection.h"
#include "workbook/runningoffice.h"
#include "workbook/unovalues.h"

namespace tsumiki {

using namespace com::sun::star;
using uno::Reference;
using uno::UNO_QUERY;
using uno::UNO_QUERY_THROW;

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
    // Ours from the start, so that a screen asking for a workbook while this one starts finds it busy rather than
    // starting a second.
    const auto office = std::make_shared<OfficeConnection>(settings_);
    office_ = office;
    if (!office->start(error_)) {
        if (office_ == office) {
            office_.reset();
        }
        return false;
    }
    return true;
}

std::unique_ptr<Workbook> LibreOfficeSpreadsheet::open(const QString& path, const QString& password) {
    if (!ensureRunning()) {
        return nullptr;
    }
    const std::shared_ptr<OfficeConnection> office = office_;
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
    const bool ok = office->call(
        error_, QStringLiteral("ブックを開けませんでした：%1").arg(name),
        [&] {
            document = office->desktop()->loadComponentFromURL(toOu(fileUrl(path)), "_blank", 0, args);
            if (!document.is()) {
                return;
            }
            Reference<sheet::XSpreadsheetDocument> book(document, UNO_QUERY);
            Reference<container::XIndexAccess> sheets(book.is() ? book->getSheets() : nullptr, UNO_QUERY);
            if (sheets.is() && sheets->getCount() > 0) {
                sheets->getByIndex(0) >>= sheet;
            }
        },
        OfficeStep::Load);
    if (ok && document.is() && sheet.is()) {
        return std::make_unique<LibreOfficeWorkbook>(office, document, sheet);
    }
    if (ok && document.is()) {
        office->call(
            error_, QString(), [&] { Reference<util::XCloseable>(document, UNO_QUERY_THROW)->close(true); },
            OfficeStep::Window);
        error_ = QStringLiteral("表計算のブックではありません：%1").arg(name);
    } else if (office->alive() && noDialogs->passwordAsked) {
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
    // The office we talk to is asked first; having answered, it alone can tell a lock on its own profile is stale.
    bool asked = false;
    if (office_ && office_->alive()) {
        bool found = false;
        asked = office_->hasDocument(path, error_, found);
        if (asked && found) {
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
    // Any office on this machine running on the lock's profile holds the workbook, whichever run of the program
    // started it: an earlier run leaves its office running with the workbooks it showed.
    const bool answered = asked && isSameProfile(owner->profileUrl, office_->profileUrl());
    if (!answered && findOfficeUsing(owner->profileUrl)) {
        return true;
    }
    // Left behind by an office that crashed or was killed: out of the way, or the office would ask about it.
    return !QFile::remove(lockfile::pathFor(path));
}

}  // namespace tsumiki
