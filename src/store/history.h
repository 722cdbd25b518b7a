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

// Keeps the table file as it is now as 履歴/<table name>_yyyyMMdd-HHmmss.csv (a second copy within the same
// second gets _2, _3…), then removes that table's oldest copies beyond kKeptPerTable. `bytes` is the file's
// current content. The copy is a second name of the file itself where the file system allows it, since the
// rewrite that follows puts a new file in its place and leaves the old one untouched; otherwise the bytes are
// written out. Throws StoreError when no copy can be made; removing old copies is best effort. Returns the path.
QString keepCopy(const TableStore& store, Table table, const QByteArray& bytes, const QDateTime& now);

}  // namespace history
}  // namespace tsumiki
