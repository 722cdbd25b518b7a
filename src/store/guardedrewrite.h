#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include "store/table.h"

namespace tsumiki {

class TableStore;

struct GuardedRewriteResult {
    enum class Outcome {
        Written,
        // The file is no longer what was loaded (beyond rows appended after it); nothing was written.
        ChangedSinceLoad,
        // The lock, the history copy or the write failed; the old file is whole. `message` says why.
        Failed,
    };
    Outcome outcome = Outcome::Failed;
    // Rows found appended after the loaded content and written again after the new content.
    int keptAppendedRows = 0;
    // Those rows as written, each line ending in CR LF.
    QByteArray keptAppended;
    QString message;
};

// An editor's save: replaces the table by `content` (header and lines, encoded, CR LF) only while the file
// still holds exactly `loaded`, the bytes the editor was filled from. Rows appended after them in the
// meantime (clock rows of a second copy of the program) are kept, byte for byte, after the new content. Under
// the table's lock, so nothing can be appended between the comparison and the write; the file replaced is
// kept in the history folder first, and the save does not go ahead without that copy.
GuardedRewriteResult rewriteUnlessChanged(TableStore& store, Table table, const QByteArray& loaded,
                                          const QByteArray& content, const QDateTime& now);

}  // namespace tsumiki
