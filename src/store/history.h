#pragma once

#include <QByteArrayView>
#include <QDateTime>
#include <QString>

#include "store/schema.h"

namespace tsumiki {

class TableStore;

// The copies a save keeps of the file it replaces, in the folder 履歴 beside DB, so that a mistaken save can be
// undone by copying a file back. A copy is named <table>_<number>_<yyyyMMdd-HHmmss>.csv: the number counts
// the table's copies, so they sort by the order they were made even when the clock was wrong, and two saves in one
// second keep two copies. Every function throws durable::SystemFailure.
namespace history {

constexpr int kKeptPerTable = 10;

QString folderOf(const TableStore& store);
// Creates the folder when it is missing.
QString makeFolder(const TableStore& store);

// The name the next copy of the table takes: after every copy in the folder.
QString nextCopyPath(const TableStore& store, Table table, const QDateTime& now);

// Writes the bytes as the next copy: to a hidden file first, flushed to disk, then renamed, so a copy under a
// copy's name is always whole. Returns its path.
QString writeCopy(const TableStore& store, Table table, QByteArrayView bytes, const QDateTime& now);

// Removes the table's oldest copies beyond kKeptPerTable, never the newest. Best effort.
void prune(const TableStore& store, Table table);

}  // namespace history
}  // namespace tsumiki
