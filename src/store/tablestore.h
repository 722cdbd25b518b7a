#pragma once

#include <QList>
#include <QString>

#include <functional>
#include <map>

#include "store/storeerror.h"
#include "store/table.h"

namespace tsumiki {

// The four table files in the folder DB of the application folder. Reads give the whole parsed table; the
// parsed form is kept only while the file's size, modification time and identity stay the same, so every
// read sees the file's current content without parsing an unchanged file again.
class TableStore {
public:
    explicit TableStore(QString appFolder);

    const QString& appFolder() const { return appFolder_; }
    QString dbFolder() const;
    QString pathOf(Table table) const;

    // Throws StoreError when the folder or file is missing, unreadable or not code page 932.
    TablePtr read(Table table) const;

    // Adds one row at the end of the table, first ending a last line that lacks its CR LF. A failed write is
    // undone so that no partial line is left behind.
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
    struct CacheEntry {
        qint64 size = -1;
        qint64 mtimeNs = 0;
        qint64 ctimeNs = 0;
        quint64 inode = 0;
        TablePtr table;
    };
    QByteArray encodeOrThrow(Table table, const QString& text) const;
    void checkFolder() const;
    void forget(Table table) const;

    QString appFolder_;
    std::function<bool()> beforeCommit_;
    mutable std::map<Table, CacheEntry> cache_;
};

// Japanese message texts of the store's failures, shared with the screens that explain a refused value.
QString unencodableMessage(const QString& path, const QString& character);

}  // namespace tsumiki
