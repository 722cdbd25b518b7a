#include "store/guardedrewrite.h"

#include <QFile>

#include "store/history.h"
#include "store/storeerror.h"
#include "store/tablelock.h"
#include "store/tablestore.h"

namespace tsumiki {
namespace {

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

// The rows written after `loaded`, starting on a line of their own, or none when the file changed otherwise.
std::optional<QByteArray> appendedAfter(const QByteArray& loaded, const QByteArray& current) {
    if (current == loaded) {
        return QByteArray();
    }
    if (current.size() <= loaded.size() || !current.startsWith(loaded)) {
        return std::nullopt;
    }
    QByteArray tail = current.mid(loaded.size());
    const bool loadedEndsLine = loaded.isEmpty() || loaded.endsWith('\n') || loaded.endsWith('\r');
    if (!loadedEndsLine && tail.front() != '\r' && tail.front() != '\n') {
        return std::nullopt;  // the last loaded line itself was extended
    }
    while (!tail.isEmpty() && (tail.front() == '\r' || tail.front() == '\n')) {
        tail.remove(0, 1);
    }
    if (!tail.isEmpty() && !tail.endsWith('\n')) {
        tail += "\r\n";
    }
    return tail;
}

}  // namespace

GuardedRewriteResult rewriteUnlessChanged(TableStore& store, Table table, const QByteArray& loaded,
                                          const QByteArray& content, const QDateTime& now) {
    GuardedRewriteResult result;
    try {
        const TableLock lock(store, table);
        const std::optional<QByteArray> current = readNow(store.pathOf(table));
        const std::optional<QByteArray> appended = current ? appendedAfter(loaded, *current) : std::nullopt;
        if (!appended) {
            result.outcome = GuardedRewriteResult::Outcome::ChangedSinceLoad;
            return result;
        }
        if (!appended->isEmpty()) {
            const qsizetype headerEnd = content.indexOf('\n');
            result.keptAppendedRows = ParsedTable::parse(content.left(headerEnd + 1) + *appended).rowCount();
        }
        const QString copy = history::keepCopy(store, table, *current, now);
        try {
            store.rewriteBytes(table, appended->isEmpty() ? content : content + *appended);
        } catch (const StoreError&) {
            // The copy may be a second name of the file that stays in use; it is no copy of a replaced file.
            QFile::remove(copy);
            throw;
        }
        result.outcome = GuardedRewriteResult::Outcome::Written;
        result.keptAppended = *appended;
    } catch (const StoreError& error) {
        result.outcome = GuardedRewriteResult::Outcome::Failed;
        result.keptAppendedRows = 0;
        result.message = error.message();
    }
    return result;
}

}  // namespace tsumiki
