#pragma once

#include "platform/clock.h"
#include "platform/messageboxes.h"
#include "platform/navigator.h"
#include "platform/pause.h"
#include "platform/random.h"
#include "platform/spreadsheet.h"
#include "store/tablestore.h"

namespace tsumiki {

// Everything a screen needs from outside, built once by main() (or by a test with fakes) and handed to every
// screen it opens.
struct AppContext {
    TableStore& store;
    const Clock& clock;
    Random& random;
    MessageBoxes& boxes;
    Navigator& navigator;
    Spreadsheet& spreadsheet;
    Pause& pause;
};

}  // namespace tsumiki
