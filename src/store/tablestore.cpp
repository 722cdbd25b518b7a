#include "store/tablestore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "store/cp932.h"
#include "store/tablefile.h"
#include "store/tablelock.h"

namespace tsumiki {
namespace {

constexpr qint64 kMaxFileBytes = 0x7FFF0000;

StoreError unreadable(const QString& path, const QString& reason) {
    return StoreError(QStringLiteral("データファイル「%1」を読み込めません。（%2）").arg(shownPath(path), reason));
}

// The whole file. A large buffer is fresh memory that the kernel maps and zeroes page by page as the file is
// copied in, which cost about a third of a cold read of a large clock table; asking for huge pages makes that a few
// faults instead of thousands.
QByteArray readWhole(QFile& file, qint64 size) {
    QByteArray bytes(static_cast<qsizetype>(size), Qt::Uninitialized);
    constexpr quintptr kHugePage = 2 * 1024 * 1024;
    if (size >= qint64(4 * kHugePage)) {
        const quintptr begin = (reinterpret_cast<quintptr>(bytes.data()) + kHugePage - 1) & ~(kHugePage - 1);
        const quintptr end =
            (reinterpret_cast<quintptr>(bytes.data()) + static_cast<quintptr>(size)) & ~(kHugePage - 1);
        ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
    }
    qint64 done = 0;
    while (done < size) {
        const qint64 got = file.read(bytes.data() + done, size - done);
        if (got <= 0) {
            break;
        }
        done += got;
    }
    // A file that shrank meanwhile gives what was there; one that grew is read to its end.
    bytes.truncate(static_cast<qsizetype>(done));
    if (done == size) {
        bytes.append(file.readAll());
    }
    return bytes;
}

}  // namespace

TableStore::TableStore(QString appFolder) : appFolder_(std::move(appFolder)) {}

QString TableStore::dbFolder() const {
    return QDir(appFolder_).filePath(QStringLiteral("DB"));
}

QString TableStore::pathOf(Table table) const {
    return QDir(dbFolder()).filePath(schemaOf(table).fileName);
}

void TableStore::checkFolder() const {
    if (!QFileInfo(dbFolder()).isDir()) {
        throw StoreError(QStringLiteral("データフォルダ「%1」が見つかりません。").arg(shownPath(dbFolder())));
    }
}

TablePtr TableStore::read(Table table) const {
    TablePtr parsed = readOnce(table);
    if (parsed->ending() != ParsedTable::Ending::LineEnd) {
        // Either a file saved without its last line end, or an append caught halfway: an append holds the lock
        // while it writes, so once the lock is ours the file is whole.
        const TableLock wait(*this, table, TableLock::Mode::Shared);
        parsed = readOnce(table);
    }
    return parsed;
}

TablePtr TableStore::readOnce(Table table) const {
    checkFolder();
    const QString path = pathOf(table);
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode)) {
        throw StoreError(QStringLiteral("データファイル「%1」が見つかりません。").arg(shownPath(path)));
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        throw unreadable(path, file.errorString());
    }
    return load(table, file, path);
}

TablePtr TableStore::load(Table table, QFile& file, const QString& path) const {
    const qint64 size = file.size();
    if (size >= kMaxFileBytes) {
        throw StoreError(QStringLiteral("データファイル「%1」は大きすぎるため読み込めません。").arg(shownPath(path)));
    }
    if (auto it = cache_.find(table); it != cache_.end()) {
        const QByteArray& known = it->second->bytes();
        if (size >= known.size() && fileStartsWith(file, known)) {
            if (size == known.size()) {
                return it->second;
            }
            const QByteArray more = file.read(size - known.size());
            if (more.size() == size - known.size() && it->second->ending() == ParsedTable::Ending::LineEnd &&
                cp932::isAscii(more)) {
                // Nobody else holds the cached table, so it can grow in place instead of being copied.
                if (it->second.use_count() > 1) {
                    it->second = std::make_shared<ParsedTable>(*it->second);
                }
                it->second->extend(more);
                return it->second;
            }
        }
        cache_.erase(it);
        if (!file.seek(0)) {
            throw unreadable(path, file.errorString());
        }
    }
    QByteArray bytes = readWhole(file, size);
    if (file.error() != QFileDevice::NoError) {
        throw unreadable(path, file.errorString());
    }
    auto parsed = std::make_shared<ParsedTable>(parseTableFile(table, std::move(bytes), path));
    cache_[table] = parsed;
    return parsed;
}

}  // namespace tsumiki
