#pragma once

#include <QString>

#include <memory>
#include <optional>

namespace tsumiki {

// What a worksheet cell holds, as the spreadsheet program sees it.
struct CellContent {
    enum class Kind { Empty, Text, Number, Formula };
    Kind kind = Kind::Empty;
    QString text;  // as shown, with the cell's format
    double number = 0;

    // An empty text counts as nothing written.
    bool isEmpty() const { return kind == Kind::Empty || (kind == Kind::Text && text.isEmpty()); }
};

// One open workbook; every cell refers to its first worksheet, rows and columns counted from 1 (B7 is row 7,
// column 2). A failing call returns false (or nothing) and leaves a Japanese text in errorString().
class Workbook {
public:
    virtual ~Workbook() = default;

    virtual bool unprotectSheet() = 0;
    virtual bool protectSheet() = 0;
    virtual std::optional<bool> isSheetProtected() = 0;
    virtual std::optional<CellContent> cell(int row, int column) = 0;
    virtual bool writeText(int row, int column, const QString& text) = 0;
    virtual bool writeNumber(int row, int column, double value) = 0;
    // Saves as an .xls workbook under the path, replacing any file there. A non-empty password is needed to open
    // the saved file, and the call succeeds only once the file is known to need it; an empty one saves without.
    virtual bool saveAs(const QString& path, const QString& password) = 0;
    // With someone at the screen the workbook stays open in front of them; without, it is closed. The workbook
    // is of no further use to the program either way.
    virtual void showAndLeaveOpen() = 0;

    virtual QString errorString() const = 0;
};

// The spreadsheet program that reads the shop's templates and writes the exported workbooks.
class Spreadsheet {
public:
    virtual ~Spreadsheet() = default;

    // Opens a workbook; an empty password opens one that has none. Nothing on failure, with errorString() set.
    virtual std::unique_ptr<Workbook> open(const QString& path, const QString& password) = 0;
    // Whether someone has the file open in a spreadsheet program, so that it must not be replaced now.
    virtual bool isInUse(const QString& path) = 0;

    virtual QString errorString() const = 0;
};

}  // namespace tsumiki
