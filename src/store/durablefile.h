#pragma once

#include <QByteArrayView>
#include <QString>

#include <sys/types.h>

// The file-system steps of a save, each either done and on disk or reported with the system's error number.
namespace tsumiki::durable {

// A failed system call; `error` is its errno.
struct SystemFailure {
    int error;
};

// Writes all the bytes at the offset, going on after a partial or interrupted write. Returns 0, or the error number
// of the call that failed (ENOSPC for one that wrote nothing).
int writeAllAt(int fd, QByteArrayView bytes, qint64 offset);

// Writes the bytes to a new file in `folder` named `prefix` followed by six random characters, with the given
// permission bits, and flushes it to disk. Returns its path. On failure nothing is left behind.
QString writeNewFile(const QString& folder, const QString& prefix, QByteArrayView bytes, mode_t mode);

// Flushes the folder's entries to disk, so that a rename or a new name in it survives a power cut.
void syncFolder(const QString& folder);

void renameFile(const QString& from, const QString& to);

// Swaps what the two names point to in one step. False, with nothing changed, where the file system cannot.
bool exchangeFiles(const QString& a, const QString& b);

bool onSameFileSystem(const QString& a, const QString& b);

// The file a path names after following every symbolic link; the path itself when that fails.
QString resolvedPath(const QString& path);

// The permission bits of the file (0644 when it cannot be read).
mode_t permissionsOf(const QString& path);

}  // namespace tsumiki::durable
