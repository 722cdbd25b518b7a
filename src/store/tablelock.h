#pragma once

#include <QString>

#include "store/schema.h"

namespace tsumiki {

class TableStore;

// An advisory lock (flock) on a lock file beside the table in DB, held for the lifetime of the object. Every
// append and save holds it exclusively, so a save that first compares the file with what an editor loaded cannot
// interleave with a clock row written by a second copy of the program. A read that found the file ending inside a
// row holds it shared, to wait for the append that is writing that row. Locks nest within one process: a step
// run while its caller already holds the lock does not wait for itself.
class TableLock {
public:
    enum class Mode { Exclusive, Shared };

    // Exclusive: throws WriteRefused (Busy) after waiting waitMs(), (Failed) when the lock file cannot be opened.
    // Shared: never throws; held() tells whether the lock was taken.
    TableLock(const TableStore& store, Table table, Mode mode = Mode::Exclusive);
    ~TableLock();
    TableLock(const TableLock&) = delete;
    TableLock& operator=(const TableLock&) = delete;

    bool held() const { return held_; }

    static QString lockPathOf(const TableStore& store, Table table);
    // How long a lock held elsewhere is waited for: long enough for any save, short enough to say so soon.
    static int waitMs();
    static void setWaitMs(int ms);  // for tests

private:
    QString path_;
    bool held_ = false;
};

}  // namespace tsumiki
