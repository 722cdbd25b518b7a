#include "store/replacement.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <sys/stat.h>
#include <unistd.h>

#include "store/durablefile.h"
#include "store/history.h"
#include "store/systemerror.h"
#include "store/tablefile.h"
#include "store/tablestore.h"

namespace tsumiki {
namespace {

using durable::SystemFailure;

WriteRefused dataFailure(const QString& path, const SystemFailure& failure) {
    return WriteRefused({WriteError::Kind::Failed, writeFailedMessage(path, failure.error)});
}

WriteRefused historyFailure(const TableStore& store, const SystemFailure& failure) {
    return WriteRefused(
        {WriteError::Kind::Failed, QStringLiteral("更新前のファイルの控えを履歴フォルダ「%1」に保存できないため、"
                                                  "登録を中止しました。（%2）")
                                       .arg(shownPath(history::folderOf(store)), describeSystemError(failure.error))});
}

// The hidden names a save gives its new content while writing it, and the file it replaces between taking its
// place and being filed in the history folder.
QString newPrefix(const QString& name) {
    return u'.' + name + QStringLiteral(".new-");
}
QString swapPrefix(const QString& name) {
    return u'.' + name + QStringLiteral(".swap-");
}

void clearLeftoversOrThrow(const TableStore& store, Table table, const QString& target, const QDateTime& now) {
    static const QRegularExpression random(QStringLiteral("^[A-Za-z0-9]{6}$"));
    static const QRegularExpression chosen(QStringLiteral("^([a-z]+|[A-Z][a-z]*|[0-9]+)$"));
    const QFileInfo info(target);
    const QDir dir = info.dir();
    const QString name = info.fileName();
    for (const QString& entry :
         dir.entryList({u'.' + name + QStringLiteral(".*"), name + QStringLiteral(".*")}, QDir::Files | QDir::Hidden)) {
        const QString path = dir.filePath(entry);
        if (entry.startsWith(swapPrefix(name))) {
            QFile file(path);
            if (file.open(QIODevice::ReadOnly)) {
                history::writeCopy(store, table, file.readAll(), now);
                QFile::remove(path);
            }
        } else if (entry.startsWith(newPrefix(name))) {
            QFile::remove(path);
        } else if (const QString suffix = entry.mid(name.size() + 1);
                   entry.startsWith(name) && random.match(suffix).hasMatch() && !chosen.match(suffix).hasMatch()) {
            QFile::remove(path);
        }
    }
    const QDir folder(history::folderOf(store));
    const QString stem = QFileInfo(schemaOf(table).fileName).completeBaseName();
    for (const QString& entry :
         folder.entryList({u'.' + stem + QStringLiteral(".new-*")}, QDir::Files | QDir::Hidden)) {
        QFile::remove(folder.filePath(entry));
    }
    // Earlier versions kept a copy as a second name of the file before replacing it; one killed in between left a
    // "copy" that is the live table itself, which is no copy and goes.
    struct stat live {};
    if (::stat(QFile::encodeName(target).constData(), &live) == 0 && live.st_nlink > 1) {
        for (const QString& entry : folder.entryList({stem + QStringLiteral("_*.csv")}, QDir::Files)) {
            struct stat copy {};
            const QByteArray path = QFile::encodeName(folder.filePath(entry));
            if (::stat(path.constData(), &copy) == 0 && copy.st_dev == live.st_dev && copy.st_ino == live.st_ino) {
                ::unlink(path.constData());
            }
        }
    }
}

// Once the new file is in place the save has happened, whatever a later flush of the folders says: it is not
// reported as failed, which would have the person redo a save that stands.
void syncAfterCommit(std::initializer_list<QString> folders) {
    for (const QString& folder : folders) {
        try {
            durable::syncFolder(folder);
        } catch (const SystemFailure&) {
        }
    }
}

// Undoes an exchange whose replaced file could not be filed. Whatever goes wrong here, `swap` keeps a file that is
// either one: it must not be taken for a leftover of this save and removed.
bool swapBack(const QString& swap, const QString& target) {
    try {
        return durable::exchangeFiles(swap, target);
    } catch (const SystemFailure&) {
        return false;
    }
}

}  // namespace

void clearLeftovers(const TableStore& store, Table table, const QString& target, const QDateTime& now) {
    try {
        clearLeftoversOrThrow(store, table, target, now);
    } catch (const SystemFailure& failure) {
        throw historyFailure(store, failure);
    }
}

void replaceKeepingCopy(TableStore& store, Table table, const QString& target, const QByteArray& current,
                        const QByteArray& bytes, const QDateTime& now) {
    const QString dir = QFileInfo(target).path();
    const QString name = QFileInfo(target).fileName();
    QString folder;
    try {
        folder = history::makeFolder(store);
    } catch (const SystemFailure& failure) {
        throw historyFailure(store, failure);
    }
    QString written;
    try {
        written = durable::writeNewFile(dir, newPrefix(name), bytes, durable::permissionsOf(target));
    } catch (const SystemFailure& failure) {
        throw dataFailure(target, failure);
    }
    try {
        if (durable::onSameFileSystem(dir, folder)) {
            const QString swap = dir + u'/' + swapPrefix(name) + written.right(6);
            durable::renameFile(written, swap);
            written = swap;
            if (durable::exchangeFiles(swap, target)) {
                try {
                    durable::renameFile(swap, history::nextCopyPath(store, table, now));
                } catch (const SystemFailure& failure) {
                    if (swapBack(swap, target)) {
                        QFile::remove(swap);
                        throw historyFailure(store, failure);
                    }
                    // The new content stays; the old file waits beside it for the next save to file it.
                }
                syncAfterCommit({folder, dir});
                return;
            }
        }
        QString copy;
        try {
            copy = history::writeCopy(store, table, current, now);
        } catch (const SystemFailure& failure) {
            throw historyFailure(store, failure);
        }
        try {
            durable::renameFile(written, target);
        } catch (const SystemFailure&) {
            // No save, so no copy of a replaced file.
            QFile::remove(copy);
            throw;
        }
        syncAfterCommit({dir});
    } catch (const SystemFailure& failure) {
        QFile::remove(written);
        throw dataFailure(target, failure);
    } catch (const WriteRefused&) {
        QFile::remove(written);
        throw;
    }
}

}  // namespace tsumiki
