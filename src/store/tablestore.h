#pragma once

#include <QFile>
#include <QList>
#include <QString>

#include <map>

#include "store/parsedtable.h"
#include "store/storeerror.h"
#include "store/writeerror.h"

namespace tsumiki {

// The four table files in the folder DB of the application folder. Reads give the whole parsed table. Every
// read reads the file and compares it with the bytes of the table parsed last time: equal bytes give that table
// again, a file that only grew past those bytes (as after an append) has only its new rows parsed, and any
// other content is parsed afresh. So a read always shows the file's current content.
class TableStore {
public:
    explicit TableStore(QString appFolder);

    const QString& appFolder() const { return appFolder_; }
    QString dbFolder() const;
    QString pathOf(Table table) const;

    // Throws StoreError when the folder or file is missing, unreadable, not code page 932, empty, or lacks a
    // column of the table. Every row is whole: a read that meets an append in progress waits for it. The
    // table's bytes() are exactly the file's content at this read; a caller that keeps an earlier table can ask
    // a later one whether it grewFrom() it, that is, whether the file is still the content it loaded followed
    // only by appended rows.
    TablePtr read(Table table) const;

    // Adds one row at the end of the table, each value (in the table's column order) under its own column of
    // the file's header. A last line that lacks its CR LF is ended first; a file cut short inside a quoted field has
    // that field closed and its line ended, so the new row is always a row of its own. Nothing is written when the
    // row would not read back as given. A busy table or a refused write is handed back; a failed write is undone
    // so that no partial line is left behind. A broken folder or table throws StoreError.
    WriteResult append(Table table, const QList<Value>& values);

private:
    void checkFolder() const;
    // The file's table, from the open file: the cached one when the bytes are the same, extended when the file
    // only grew, parsed afresh otherwise.
    TablePtr load(Table table, QFile& file, const QString& path) const;
    TablePtr readOnce(Table table) const;

    QString appFolder_;
    mutable std::map<Table, std::shared_ptr<ParsedTable>> cache_;
};

}  // namespace tsumiki
