#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include "store/schema.h"

// Putting a table's new content in place of its file, and the history copy of the file it replaces. Failures
// throw WriteRefused with the reason in words; the table is then as it was.
namespace tsumiki {

class TableStore;

// Files a killed save left beside `target` (the table's file, symbolic links followed): its unfinished new
// content goes; a replaced file that had not yet reached the history folder is filed there (it may, for the instant
// between two steps, be the new content instead: a spare copy is harmless, a lost one is not). Names written by
// earlier versions (the table's name, a dot and six random letters and digits) go too, unless they look like a
// name a person chose.
void clearLeftovers(const TableStore& store, Table table, const QString& target, const QDateTime& now);

// Puts the bytes in place of `target`, keeping the replaced file (whose bytes are `current`) in the history
// folder first. Where the table and the history folder share a file system, the new file and the old one swap
// names in one step and the old one is then moved into the history folder, so nothing is copied twice; otherwise
// the old bytes are copied there first, flushed to disk with the folder. Either way no name ever points at the
// live file but the table's own, and a killed save leaves the table old or new.
void replaceKeepingCopy(TableStore& store, Table table, const QString& target, const QByteArray& current,
                        const QByteArray& bytes, const QDateTime& now);

}  // namespace tsumiki
