#pragma once

#include <memory>

#include "fakenavigator.h"
#include "platform/appcontext.h"
#include "testsupport.h"

namespace tsumiki::test {

// A fresh application folder with the sample tables and an AppContext of fakes around it.
struct FrontDesk {
    FrontDesk();
    TempAppFolder folder;
    TableStore store{folder.path()};
    FakeClock clock;
    ScriptedRandom random{{0.5}};
    RecordingMessageBoxes boxes;
    FakeNavigator navigator;
    NoSpreadsheet spreadsheet;
    AppContext ctx{store, clock, random, boxes, navigator, spreadsheet};

    // Rows after the header of the clock table.
    void writeClockRows(const QStringList& rows) const;
    void writeDayChange(const QString& time) const;
    QString clockText() const { return fromCp932(folder.bytes(Table::Clock)); }
};

}  // namespace tsumiki::test
