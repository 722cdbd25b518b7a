#pragma once

#include <QString>

#include "store/tablestore.h"

namespace tsumiki {

// The application folder: the folder that holds the program, with DB, excelテンプレート and 出力帳票 beside it.
QString applicationFolder();

// Makes the first installed Japanese font the application font, at 12 points or more; Qt's own family stays
// when none is installed.
void useJapaneseFont();

// Reads every table once, so that a missing or unreadable data folder is reported when the program starts,
// not after the first person has typed their ID. Throws StoreError.
void checkDataFolder(const TableStore& store);

}  // namespace tsumiki
