#pragma once

#include <QMap>
#include <QStringList>

#include <functional>

#include "platform/pause.h"
#include "platform/spreadsheet.h"

namespace tsumiki::test {

// A spreadsheet program on paper: workbooks are cell maps kept by path, every open, save and show is written to
// `log`, and a test can make any step fail.
class FakeSpreadsheet final : public Spreadsheet {
public:
    using Cells = QMap<std::pair<int, int>, CellContent>;  // by row and column

    std::unique_ptr<Workbook> open(const QString& path, const QString& password) override;
    bool isInUse(const QString&) override { return false; }
    QString errorString() const override { return error; }

    QMap<QString, Cells> books;  // by path
    QStringList log;
    QString failStep;  // "open", "write", "save": that step fails
    QString error;
};

class FakeWorkbook final : public Workbook {
public:
    FakeWorkbook(FakeSpreadsheet& office, FakeSpreadsheet::Cells cells) : office_(office), cells_(std::move(cells)) {}

    bool unprotectSheet() override { return step("unprotect"); }
    bool protectSheet() override { return step("protect"); }
    std::optional<bool> isSheetProtected() override { return std::nullopt; }
    std::optional<CellContent> cell(int row, int column) override { return cells_.value({row, column}); }
    bool writeText(int row, int column, const QString& text) override {
        return step("write", [&] { cells_[{row, column}] = {CellContent::Kind::Text, text, 0}; });
    }
    bool writeNumber(int row, int column, double value) override {
        return step("write", [&] { cells_[{row, column}] = {CellContent::Kind::Number, QString(), value}; });
    }
    bool saveAs(const QString& path, const QString& password) override {
        return step("save", [&] {
            office_.books[path] = cells_;
            office_.log << QStringLiteral("save %1 %2").arg(path.section(u'/', -1), password);
        });
    }
    void showAndLeaveOpen() override { office_.log << QStringLiteral("show"); }
    QString errorString() const override { return office_.error; }

private:
    bool step(
        const QString& name, const std::function<void()>& work = [] {}) {
        if (office_.failStep == name) {
            office_.error = name + QStringLiteral(" failed");
            return false;
        }
        work();
        return true;
    }
    FakeSpreadsheet& office_;
    FakeSpreadsheet::Cells cells_;
};

inline std::unique_ptr<Workbook> FakeSpreadsheet::open(const QString& path, const QString& password) {
    log << QStringLiteral("open %1 %2").arg(path.section(u'/', -1), password);
    if (failStep == u"open") {
        error = QStringLiteral("open failed");
        return nullptr;
    }
    return std::make_unique<FakeWorkbook>(*this, books.value(path));
}

// Returns at once instead of waiting, remembering how long it was asked to wait.
class RecordingPause final : public Pause {
public:
    void keepScreenResponsiveFor(int seconds) override {
        if (during) {
            during();
        }
        lastSeconds = seconds;
    }
    int lastSeconds = 0;
    std::function<void()> during;
};

}  // namespace tsumiki::test
