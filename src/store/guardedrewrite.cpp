#include "store/guardedrewrite.h"

#include <QFile>

#include "store/durablefile.h"
#include "store/history.h"
#include "store/replacement.h"
#include "store/storeerror.h"
#include "store/tablefile.h"
#include "store/tablelock.h"
#include "store/tablestore.h"

namespace tsumiki {
namespace {

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

// The bytes appended to the file at `path` since it held `loaded`: none when it still holds exactly that. Null
// when the file cannot be read, or holds anything but `loaded` followed by whole rows, each starting on a line of
// its own.
std::optional<QByteArray> appendedSince(const QString& path, const QByteArray& loaded) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    if (!fileStartsWith(file, loaded)) {
        return std::nullopt;
    }
    QByteArray more = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return std::nullopt;
    }
    const bool loadedEndsLine = loaded.isEmpty() || loaded.endsWith('\n') || loaded.endsWith('\r');
    if (!more.isEmpty() && !loadedEndsLine && more[0] != '\r' && more[0] != '\n') {
        return std::nullopt;
    }
    return more;
}

}  // namespace

GuardedRewriteResult rewriteUnlessChanged(TableStore& store, Table table, const QByteArray& loaded, TableWriter content,
                                          const QDateTime& now) {
    GuardedRewriteResult result;
    try {
        const TableLock lock(store, table);
        const QString target = durable::resolvedPath(store.pathOf(table));
        clearLeftovers(store, table, target, now);
        const std::optional<QByteArray> appended = appendedSince(target, loaded);
        if (!appended) {
            result.outcome = GuardedRewriteResult::Outcome::ChangedSinceLoad;
            return result;
        }
        const QByteArray current = appended->isEmpty() ? loaded : loaded + *appended;
        QByteArray kept;
        if (!appended->isEmpty()) {
            const qsizetype editedEnd = content.bytes().size();
            result.keptAppendedRows =
                keepAppended(table, current, ParsedTable::parse(loaded).rowCount(), target, content);
            kept = content.bytes().mid(editedEnd);
        }
        if (WriteResult check = content.checkReadsBack(store.pathOf(table))) {
            throw WriteRefused(*check);
        }
        replaceKeepingCopy(store, table, target, current, content.bytes(), now);
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
