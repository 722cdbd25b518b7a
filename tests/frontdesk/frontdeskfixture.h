#pragma once

#include "screentestcontext.h"

namespace tsumiki::test {

// A fresh application folder with the sample tables and an AppContext of fakes around it.
struct FrontDesk : ScreenTestContext {
    FrontDesk();
    AppContext& ctx = context;

    // Rows after the header of the clock table.
    void writeClockRows(const QStringList& rows) const { folder.writeClockRows(rows); }
    void writeDayChange(const QString& time) const { folder.writeSettings(time); }
    QString clockText() const { return fromCp932(folder.bytes(Table::Clock)); }
};

}  // namespace tsumiki::test
