#pragma once

#include <QFile>
#include <QMap>
#include <QSet>
#include <QStringList>

#include <functional>

#include "platform/pause.h"
#include "platform/spreadsheet.h"

namespace tsumiki::test {

// A spreadsheet program on paper: workbooks are cell maps kept by path, every call is written to `log`, and a
// test can make any step fail or mark a file as open elsewhere. A saved workbook also leaves a file on disk, so
// that the export sees its earlier output.
class FakeSpreadsheet final : public Spreadsheet {
public:
    struct Book {
        QMap<std::pair<int, int>, CellContent> cells;
        bool sheetProtected = true;
        QString password;
    };

    std::unique_ptr<Workbook> open(const QString& path, const QString& password) override;
    bool isInUse(const QString& path) override { return inUse.contains(path); }
    QString errorString() const override { return error; }

    QMap<QString, Book> books;  // by path
    QSet<QString> inUse;
    QStringList log;
    QString failStep;  // "open", "write", "save": that step fails
    QString error;
    std::function<void()> onOpen;
};

class FakeWorkbook final : public Workbook {
public:
    FakeWorkbook(FakeSpreadsheet& office, FakeSpreadsheet::Book book) : office_(office), book_(std::move(book)) {}

    bool unprotectSheet() override {
        return step("unprotect", [&] { book_.sheetProtected = false; });
    }
    bool protectSheet() override {
        return step("protect", [&] { book_.sheetProtected = true; });
    }
    std::optional<bool> isSheetProtected() override { return book_.sheetProtected; }
    std::optional<CellContent> cell(int row, int column) override { return book_.cells.value({row, column}); }
    bool writeText(int row, int column, const QString& text) override {
        return step("write", [&] { book_.cells[{row, column}] = {CellContent::Kind::Text, text, 0}; });
    }
    bool writeNumber(int row, int column, double value) override {
        return step("write", [&] { book_.cells[{row, column}] = {CellContent::Kind::Number, QString(), value}; });
    }
    bool saveAs(const QString& path, const QString& password) override {
        return step("save", [&] {
            book_.password = password;
            office_.books[path] = book_;
            QFile f(path);
            f.open(QIODevice::WriteOnly);
            office_.log << QStringLiteral("save %1 %2").arg(path.section(u'/', -1), password);
        });
    }
    void showAndLeaveOpen() override { office_.log << QStringLiteral("show"); }
    QString errorString() const override { return office_.error; }

private:
    bool step(const QString& name, const std::function<void()>& work) {
        if (office_.failStep == name) {
            office_.error = name + QStringLiteral(" failed");
            return false;
        }
        work();
        return true;
    }
    FakeSpreadsheet& office_;
    FakeSpreadsheet::Book book_;
};

inline std::unique_ptr<Workbook> FakeSpreadsheet::open(const QString& path, const QString& password) {
    log << QStringLiteral("open %1 %2").arg(path.section(u'/', -1), password);
    if (onOpen) {
        onOpen();
    }
    if (failStep == u"open" || (books.contains(path) && books[path].password != password)) {
        error = QStringLiteral("open failed");
        return nullptr;
    }
    return std::make_unique<FakeWorkbook>(*this, books.value(path));
}

// Counts the waits instead of waiting.
class CountingPause final : public Pause {
public:
    void keepScreenResponsiveFor(int seconds) override {
        ++waits;
        if (during) {
            during();
        }
        lastSeconds = seconds;
    }
    int waits = 0;
    int lastSeconds = 0;
    std::function<void()> during;
};

}  // namespace tsumiki::test
