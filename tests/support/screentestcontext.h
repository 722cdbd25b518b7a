#pragma once

#include "fakenavigator.h"
#include "fakespreadsheet.h"
#include "testsupport.h"
#include "ui/appcontext.h"

namespace tsumiki::test {

// A temporary application folder and fakes for every port, ready to hand to a screen.
struct ScreenTestContext {
    TempAppFolder folder;
    TableStore store{folder.path()};
    FakeClock clock;
    ScriptedRandom random;
    RecordingMessageBoxes boxes;
    FakeNavigator navigator;
    FakeSpreadsheet spreadsheet;
    CountingPause pause;
    AppContext context{store, clock, random, boxes, navigator, spreadsheet, pause};
};

}  // namespace tsumiki::test
