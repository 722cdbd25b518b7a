#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include "store/schema.h"
#include "store/tablewriter.h"
#include "store/writeerror.h"

namespace tsumiki {

class TableStore;

struct GuardedRewriteResult {
    enum class Outcome {
        Written,
        // The file is no longer what was loaded (beyond rows appended after it); nothing was written.
        ChangedSinceLoad,
        // Nothing was written; `refused` says why.
        Refused,
    };
    Outcome outcome = Outcome::Refused;
    std::optional<WriteError> refused;
    // The bytes now in the file.
    QByteArray written;
    // Rows found appended after the loaded content and written again after the new content: how many, and the
    // lines written for them (CR LF after each).
    int keptAppendedRows = 0;
    QByteArray keptAppended;
};

// An editor's save: replaces the table by what `content` holds only while the file still holds exactly
// `loaded`, the bytes the editor was filled from. Rows appended after them in the meantime (clock rows of a
// second copy of the program) are kept after the new content, each value under its own column. Under the
// table's lock, so nothing can be appended between the comparison and the write.
//
// What must hold, whatever fails or wherever the program is killed:
// - the content is checked to read back exactly as written before anything is put in place;
// - the replaced file is kept as a whole, separate copy in the history folder, on disk before the new content
//   takes its place (or, for an instant, as a hidden file beside the table that the next save files there);
// - the table is the old file or the new one, never a mix, and a table that is a symbolic link stays one (its
//   target is replaced);
// - leftovers of an earlier save that was killed are cleared first.
GuardedRewriteResult rewriteUnlessChanged(TableStore& store, Table table, const QByteArray& loaded, TableWriter content,
                                          const QDateTime& now);

}  // namespace tsumiki
