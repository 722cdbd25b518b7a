#pragma once

#include <QDialog>

#include "platform/navigator.h"
#include "platform/pause.h"
#include "platform/spreadsheet.h"

namespace tsumiki::bench {

// Benchmarks open screens without running their modal children or an office.
struct NoNavigator final : Navigator {
    void showModal(QDialog&) override {}
};
struct NoSpreadsheet final : Spreadsheet {
    std::unique_ptr<Workbook> open(const QString&, const QString&) override { return nullptr; }
    bool isInUse(const QString&) override { return false; }
    QString errorString() const override { return {}; }
};

}  // namespace tsumiki::bench
