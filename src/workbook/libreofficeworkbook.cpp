#include "workbook/libreofficeworkbook.h"

#include <QFileInfo>

#include <com/sun/star/awt/XTopWindow.hpp>
#include <com/sun/star/awt/XWindow.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/sheet/XSpreadsheetView.hpp>
#include <com/sun/star/table/CellContentType.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/text/XTextRange.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/util/XProtectable.hpp>

#include "workbook/officeconnection.h"
#include "workbook/unovalues.h"
#include "workbook/xlsencryption.h"

namespace tsumiki {
namespace {

using namespace com::sun::star;
using uno::Reference;
using uno::UNO_QUERY;
using uno::UNO_QUERY_THROW;

QString cellError(const QString& what, int row, int column) {
    return QStringLiteral("セル %1%2 に%3。").arg(QChar(u'A' + column - 1)).arg(row).arg(what);
}

}  // namespace

LibreOfficeWorkbook::LibreOfficeWorkbook(std::shared_ptr<OfficeConnection> office, Reference<lang::XComponent> document,
                                         Reference<sheet::XSpreadsheet> sheet)
    : office_(std::move(office)), document_(std::move(document)), sheet_(std::move(sheet)) {}

LibreOfficeWorkbook::~LibreOfficeWorkbook() {
    if (document_.is()) {
        close();
    }
}

void LibreOfficeWorkbook::close() {
    QString ignored;
    office_->call(
        ignored, QString(), [&] { Reference<util::XCloseable>(document_, UNO_QUERY_THROW)->close(true); },
        OfficeStep::Window);
    document_.clear();
}

bool LibreOfficeWorkbook::unprotectSheet() {
    return office_->call(error_, QStringLiteral("シートの保護を解除できませんでした。"),
                         [&] { Reference<util::XProtectable>(sheet_, UNO_QUERY_THROW)->unprotect(rtl::OUString()); });
}

bool LibreOfficeWorkbook::protectSheet() {
    return office_->call(error_, QStringLiteral("シートを保護できませんでした。"),
                         [&] { Reference<util::XProtectable>(sheet_, UNO_QUERY_THROW)->protect(rtl::OUString()); });
}

std::optional<bool> LibreOfficeWorkbook::isSheetProtected() {
    bool on = false;
    if (!office_->call(error_, QStringLiteral("シートの保護を確かめられませんでした。"),
                       [&] { on = Reference<util::XProtectable>(sheet_, UNO_QUERY_THROW)->isProtected(); })) {
        return std::nullopt;
    }
    return on;
}

std::optional<CellContent> LibreOfficeWorkbook::cell(int row, int column) {
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

bool LibreOfficeWorkbook::writeText(int row, int column, const QString& text) {
    return office_->call(error_, cellError(QStringLiteral("書き込めません"), row, column), [&] {
        Reference<text::XTextRange>(sheet_->getCellByPosition(column - 1, row - 1), UNO_QUERY_THROW)
            ->setString(toOu(text));
    });
}

bool LibreOfficeWorkbook::writeNumber(int row, int column, double value) {
    return office_->call(error_, cellError(QStringLiteral("書き込めません"), row, column),
                         [&] { sheet_->getCellByPosition(column - 1, row - 1)->setValue(value); });
}

bool LibreOfficeWorkbook::saveAs(const QString& path, const QString& password) {
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

void LibreOfficeWorkbook::showAndLeaveOpen() {
    if (!office_->settings().showWorkbooks) {
        close();
        return;
    }
    QString ignored;
    office_->call(
        ignored, QString(),
        [&] {
            Reference<frame::XController> controller =
                Reference<frame::XModel>(document_, UNO_QUERY_THROW)->getCurrentController();
            Reference<sheet::XSpreadsheetView>(controller, UNO_QUERY_THROW)->setActiveSheet(sheet_);
            Reference<awt::XWindow> window = controller->getFrame()->getContainerWindow();
            Reference<awt::XTopWindow> top(window, UNO_QUERY);
            if (top.is()) {
                top->toFront();
            }
        },
        OfficeStep::Window);
    document_.clear();
}

}  // namespace tsumiki
