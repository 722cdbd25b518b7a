#pragma once

#include <QFile>
#include <QList>
#include <QString>

#include <functional>
#include <map>

#include "store/storeerror.h"
#include "store/table.h"

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
    // column of the table. The table's bytes() are exactly the file's content at this read; a caller that keeps
    // an earlier table can ask a later one whether it grewFrom() it, that is, whether the file is still the
    // content it loaded followed only by appended rows (ParsedTable::grewFrom).
    TablePtr read(Table table) const;

    // Adds one row at the end of the table. A last line that lacks its CR LF is ended first; a file cut short
    // inside a quoted field has that field closed and its line ended, so the new row is always a row of its
    // own. A failed write is undone so that no partial line is left behind.
    void append(Table table, const QList<Value>& values);

    // Replaces the whole file by the header and one line per row. The new content goes to a temporary file in
    // the same folder, is flushed to disk and then renamed over the old file: a failure leaves the old file
    // whole. Creates the file when it is missing.
    void rewrite(Table table, const QList<QList<Value>>& rows);
    // The same with the whole new content already encoded (header and CR LF line ends included).
    void rewriteBytes(Table table, const QByteArray& bytes);

    // Test seam: runs after the new content has been written and synced and before it replaces the old file;
    // returning false makes the rewrite fail there.
    void setBeforeCommitHook(std::function<bool()> hook) { beforeCommit_ = std::move(hook); }

private:
    QByteArray encodeOrThrow(Table table, const QString& text) const;
    void checkFolder() const;
    void forget(Table table) const;
    // The file's table, from the open file: the cached one when the bytes are the same, extended when the file
    // only grew, parsed afresh otherwise.
    TablePtr load(Table table, QFile& file) const;

    QString appFolder_;
    std::function<bool()> beforeCommit_;
    mutable std::map<Table, std::shared_ptr<ParsedTable>> cache_;
};

// The checks and the parse a read applies to the bytes of a table file: refuses (StoreError naming `path`) bytes
// that are UTF-8 or not code page 932, and a table that is empty or lacks one of its columns.
ParsedTable parseTableFile(Table table, QByteArray bytes, const QString& path);

// Japanese message texts of the store's failures, shared with the screens that explain a refused value.
QString unencodableMessage(const QString& path, const QString& character);

}  // namespace tsumiki
