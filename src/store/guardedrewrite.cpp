#include "store/guardedrewrite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include "store/durablefile.h"
#include "store/history.h"
#include "store/storeerror.h"
#include "store/systemerror.h"
#include "store/tablefile.h"
#include "store/tablelock.h"
#include "store/tablestore.h"

namespace tsumiki {
namespace {

using durable::SystemFailure;

WriteRefused dataFailure(const QString& path, const SystemFailure& failure) {
    return WriteRefused({WriteError::Kind::Failed, QStringLiteral("データファイル「%1」に書き込めません。（%2）")
                                                       .arg(shownPath(path), describeSystemError(failure.error))});
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

// Files a killed save left beside the table: its unfinished new content goes; a replaced file that had not yet
// reached the history folder is filed there (it may, for the instant between two steps, be the new content
// instead: a spare copy is harmless, a lost one is not). Names written by earlier versions (the table's name, a
// dot and six random letters and digits) go too, unless they look like a name a person chose.
void clearLeftovers(const TableStore& store, Table table, const QString& target, const QDateTime& now) {
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
}

// The rows of `current` after its first `loadedRows`, added to the writer under the table's own columns.
int keepAppended(Table table, const QByteArray& current, int loadedRows, const QString& path, TableWriter& content) {
    const ParsedTable parsed = parseTableFile(table, current, path);
    const QStringList& columns = schemaOf(table).columns;
    std::vector<int> at(std::size_t(columns.size()));
    for (std::size_t c = 0; c < at.size(); ++c) {
        at[c] = parsed.column(columns[qsizetype(c)]);
    }
    std::vector<QByteArrayView> fields(at.size());
    for (int r = loadedRows; r < parsed.rowCount(); ++r) {
        for (std::size_t c = 0; c < at.size(); ++c) {
            fields[c] = parsed.raw(r, at[c]);
        }
        content.addStored(fields.data());
    }
    return parsed.rowCount() - loadedRows;
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

// Puts the bytes in place of the table's file, keeping the replaced file in the history folder first. Where the
// table and the history folder share a file system, the new file and the old one swap names in one step and the
// old one is then moved into the history folder, so nothing is copied; otherwise the old bytes are copied there
// first. Either way no name ever points at the live file but the table's own.
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
                    if (durable::exchangeFiles(swap, target)) {
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

std::optional<QByteArray> readNow(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return std::nullopt;
    }
    return bytes;
}

// Whether `current` is `loaded` followed only by whole rows (appended since), each starting on a line of its own.
bool onlyGrew(const QByteArray& loaded, const QByteArray& current) {
    if (current.size() < loaded.size() || !current.startsWith(loaded)) {
        return false;
    }
    const bool loadedEndsLine = loaded.isEmpty() || loaded.endsWith('\n') || loaded.endsWith('\r');
    return loadedEndsLine || current.size() == loaded.size() || current[loaded.size()] == '\r' ||
           current[loaded.size()] == '\n';
}

}  // namespace

GuardedRewriteResult rewriteUnlessChanged(TableStore& store, Table table, const QByteArray& loaded, TableWriter content,
                                          const QDateTime& now) {
    GuardedRewriteResult result;
    try {
        const TableLock lock(store, table);
        const QString target = durable::resolvedPath(store.pathOf(table));
        try {
            clearLeftovers(store, table, target, now);
        } catch (const SystemFailure& failure) {
            throw historyFailure(store, failure);
        }
        const std::optional<QByteArray> current = readNow(target);
        if (!current || !onlyGrew(loaded, *current)) {
            result.outcome = GuardedRewriteResult::Outcome::ChangedSinceLoad;
            return result;
        }
        QByteArray kept;
        if (current->size() > loaded.size()) {
            const qsizetype editedEnd = content.bytes().size();
            result.keptAppendedRows =
                keepAppended(table, *current, ParsedTable::parse(loaded).rowCount(), target, content);
            kept = content.bytes().mid(editedEnd);
        }
        if (WriteResult check = content.checkReadsBack(store.pathOf(table))) {
            throw WriteRefused(*check);
        }
        replaceKeepingCopy(store, table, target, *current, content.bytes(), now);
        history::prune(store, table);
        result.outcome = GuardedRewriteResult::Outcome::Written;
        result.written = content.bytes();
        result.keptAppended = kept;
    } catch (const WriteRefused& refused) {
        result = GuardedRewriteResult{};
        result.refused = refused.error();
    } catch (const StoreError& error) {
        result = GuardedRewriteResult{};
        result.refused = WriteError{WriteError::Kind::Failed, error.message()};
    }
    return result;
}

}  // namespace tsumiki
