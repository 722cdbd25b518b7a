#pragma once

#include <QString>

#include "store/tablestore.h"

namespace tsumiki {

// The installed starting folder (the tables and templates a new shop starts with), found from the program's own
// folder by the relative path the build configured, so that the build tree, an installed package and a package
// unpacked anywhere all find their own.
QString startingFolder();

// Makes the first installed Japanese font the application font, at 12 points or more; Qt's own family stays
// when none is installed.
void useJapaneseFont();

// Reads every table once, so that a missing or unreadable data folder is reported when the program starts,
// not after the first person has typed their ID. Throws StoreError.
void checkDataFolder(const TableStore& store);

}  // namespace tsumiki
