#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

#include "store/cp932.h"
#include "store/durablefile.h"
#include "store/tablefile.h"
#include "store/tablelock.h"
#include "store/tablestore.h"
#include "store/tablewriter.h"
#include "store/utf8check.h"

// TableStore::append: one clock row at the end of the file, whole or not at all.
namespace tsumiki {
namespace {

WriteError writeFailed(const QString& path, int error) {
    return {WriteError::Kind::Failed, writeFailedMessage(path, error)};
}

// Writes the bytes at the offset and flushes them to disk; on failure cuts the file back to the offset, so no part
// of them stays, and returns the error number.
int writeAt(int fd, qint64 offset, QByteArrayView bytes) {
    int error = durable::writeAllAt(fd, bytes, offset);
    if (error == 0 && ::fsync(fd) != 0) {
        error = errno;
    }
    if (error != 0) {
        (void)::ftruncate(fd, offset);
    }
    return error;
}

}  // namespace

WriteResult TableStore::append(Table table, const QList<Value>& values) {
    checkFolder();
    const QString path = pathOf(table);
    try {
        const TableLock lock(*this, table);
        if (!QFileInfo(path).isFile()) {
            throw StoreError(QStringLiteral("データファイル「%1」が見つかりません。").arg(shownPath(path)));
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
