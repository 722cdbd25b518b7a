#include "store/tablestore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "store/cp932.h"
#include "store/systemerror.h"
#include "store/tablefile.h"
#include "store/tablelock.h"
#include "store/tablewriter.h"
#include "store/utf8check.h"

namespace tsumiki {
namespace {

constexpr qint64 kMaxFileBytes = 0x7FFF0000;

StoreError unreadable(const QString& path, const QString& reason) {
    return StoreError(QStringLiteral("データファイル「%1」を読み込めません。（%2）").arg(shownPath(path), reason));
}

StoreError missing(const QString& path) {
    return StoreError(QStringLiteral("データファイル「%1」が見つかりません。").arg(shownPath(path)));
}

// Whether the file, read from its current position, begins with `expected`. Reads in pieces so that no copy of a
// large file is made only to be compared.
bool startsWith(QFile& file, const QByteArray& expected) {
    char buffer[64 * 1024];
    qsizetype done = 0;
    while (done < expected.size()) {
        const qint64 want = std::min<qint64>(sizeof(buffer), expected.size() - done);
        const qint64 got = file.read(buffer, want);
        if (got != want || std::memcmp(buffer, expected.constData() + done, static_cast<size_t>(got)) != 0) {
            return false;
        }
        done += got;
    }
    return true;
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

WriteError writeFailed(const QString& path, int error) {
    return {WriteError::Kind::Failed, QStringLiteral("データファイル「%1」に書き込めません。（%2）")
                                          .arg(shownPath(path), describeSystemError(error))};
}

// Writes the bytes at the offset and flushes them to disk; on failure cuts the file back to the offset, so no part
// of them stays, and returns the error number.
int writeAt(int fd, qint64 offset, QByteArrayView bytes) {
    qint64 at = offset;
    const char* p = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t done = ::pwrite(fd, p, size_t(left), at);
        if (done < 0 && errno == EINTR) {
            continue;
        }
        if (done <= 0) {
            const int error = done == 0 ? ENOSPC : errno;
            (void)::ftruncate(fd, offset);
            return error;
        }
        p += done;
        left -= done;
        at += done;
    }
    if (::fsync(fd) != 0) {
        const int error = errno;
        (void)::ftruncate(fd, offset);
        return error;
    }
    return 0;
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
        throw missing(path);
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
        if (size >= known.size() && startsWith(file, known)) {
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

WriteResult TableStore::append(Table table, const QList<Value>& values) {
    checkFolder();
    const QString path = pathOf(table);
    try {
        const TableLock lock(*this, table);
        if (!QFileInfo(path).isFile()) {
            throw missing(path);
        }
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CLOEXEC);
        if (fd < 0) {
            return writeFailed(path, errno);
        }
        QFile file;
        file.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle);
        const TablePtr current = load(table, file, path);
        TableWriter row(table, *current);
        if (const auto unencodable = row.addValues(values)) {
            return WriteError{WriteError::Kind::WouldNotReadBack, unencodableMessage(path, unencodable->character)};
        }
        if (WriteResult check = row.checkReadsBack(path)) {
            return check;
        }
        QByteArray out;
        switch (current->ending()) {
            case ParsedTable::Ending::OpenQuote:
                // Cut short inside a quoted field (another program's crash, a full disk): the field is closed, so
                // the damaged row keeps what it held and the new row does not disappear into it.
                out = "\"\r\n";
                break;
            case ParsedTable::Ending::OpenLine:
                // The last line lacks its line end (a file saved by another editor): end it, so rows never merge.
                out = "\r\n";
                break;
            case ParsedTable::Ending::LineEnd:
                break;
        }
        out += row.rows();
        // Bytes beyond ASCII can change how the whole file reads; plain ASCII rows never do.
        if (!cp932::isAscii(out) && cp932::looksLikeUtf8(current->bytes() + out)) {
            return WriteError{WriteError::Kind::WouldNotReadBack,
                              QStringLiteral("この行を追加するとファイル「%1」を Shift_JIS のファイルとして読み込めなく"
                                             "なるため、書き込みを中止しました。")
                                  .arg(shownPath(path))};
        }
        if (const int error = writeAt(fd, current->bytes().size(), out); error != 0) {
            cache_.erase(table);
            return writeFailed(path, error);
        }
        return std::nullopt;
    } catch (const WriteRefused& refused) {
        return refused.error();
    }
}

}  // namespace tsumiki
