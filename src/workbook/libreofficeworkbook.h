#pragma once

#include <QString>

#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>

#include <memory>

#include "platform/spreadsheet.h"

namespace tsumiki {

class OfficeConnection;

// A workbook loaded in the office; every cell refers to its first sheet.
class LibreOfficeWorkbook final : public Workbook {
public:
    LibreOfficeWorkbook(std::shared_ptr<OfficeConnection> office,
                        com::sun::star::uno::Reference<com::sun::star::lang::XComponent> document,
                        com::sun::star::uno::Reference<com::sun::star::sheet::XSpreadsheet> sheet);
    // A workbook given up half-way is closed, so that it holds no lock on its file.
    ~LibreOfficeWorkbook() override;

    bool unprotectSheet() override;
    bool protectSheet() override;
    std::optional<bool> isSheetProtected() override;
    std::optional<CellContent> cell(int row, int column) override;
    bool writeText(int row, int column, const QString& text) override;
    bool writeNumber(int row, int column, double value) override;
    bool saveAs(const QString& path, const QString& password) override;
    void showAndLeaveOpen() override;
    QString errorString() const override { return error_; }

private:
    void close();

    std::shared_ptr<OfficeConnection> office_;
    com::sun::star::uno::Reference<com::sun::star::lang::XComponent> document_;
    com::sun::star::uno::Reference<com::sun::star::sheet::XSpreadsheet> sheet_;
    QString error_;
};

}  // namespace tsumiki
