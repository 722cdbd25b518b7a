#pragma once

#include <QString>

#include "store/storeerror.h"
#include "store/table.h"

namespace tsumiki {

class TableStore;

// Another copy of the program holds the table's lock longer than the wait allows; nothing was written.
class TableBusyError : public StoreError {
public:
    using StoreError::StoreError;
};

// An advisory lock (flock) on a lock file beside the table in DB, held for the lifetime of the object. Every
// append and rewrite takes it, so a rewrite that first compares the file with what an editor loaded cannot
// interleave with a clock row written by a second copy of the program. Locks nest within one process: a
// rewrite run while its caller already holds the lock does not wait for itself.
class TableLock {
public:
    // Throws TableBusyError after waiting waitMs(), StoreError when the lock file cannot be opened.
    TableLock(const TableStore& store, Table table);
    ~TableLock();
    TableLock(const TableLock&) = delete;
    TableLock& operator=(const TableLock&) = delete;

    static QString lockPathOf(const TableStore& store, Table table);
    // How long a lock held elsewhere is waited for: long enough for any rewrite, short enough to say so soon.
    static int waitMs();
    static void setWaitMs(int ms);  // for tests

private:
    QString path_;
};

}  // namespace tsumiki
