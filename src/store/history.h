#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include "store/table.h"

namespace tsumiki {

class TableStore;

// The dated copies an editor's save keeps of the file it replaces, in the folder 履歴 beside DB, so that a
// mistaken save can be undone by copying a file back.
namespace history {

constexpr int kKeptPerTable = 10;

QString folderOf(const TableStore& store);

// Writes the bytes unchanged as 履歴/<table name>_yyyyMMdd-HHmmss.csv (a second copy within the same second
// gets _2, _3…), then removes that table's oldest copies beyond kKeptPerTable. Throws StoreError when the copy
// cannot be written; removing old copies is best effort. Returns the path written.
QString keepCopy(const TableStore& store, Table table, const QByteArray& bytes, const QDateTime& now);

}  // namespace history
}  // namespace tsumiki
