#include "store/tablestore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "store/cp932.h"
#include "store/tablelock.h"

namespace tsumiki {
namespace {

const QByteArray kLineEnd = QByteArrayLiteral("\r\n");

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

QString describeCharacter(const QString& text, qsizetype index) {
    QString ch = text.mid(index, 1);
    char32_t code = text[index].unicode();
    if (text[index].isHighSurrogate() && index + 1 < text.size()) {
        ch = text.mid(index, 2);
        code = QChar::surrogateToUcs4(text[index], text[index + 1]);
    }
    return QStringLiteral("「%1」(U+%2)")
        .arg(ch, QString::number(static_cast<uint>(code), 16).toUpper().rightJustified(4, u'0'));
}

// Line number (from 1) of a byte offset, for the message about an undecodable file.
qsizetype lineOf(const QByteArray& bytes, qsizetype offset) {
    return bytes.left(offset).count('\n') + 1;
}

constexpr qint64 kMaxFileBytes = 0x7FFF0000;

StoreError unreadable(const QString& path, const QString& reason) {
    return StoreError(QStringLiteral("データファイル「%1」を読み込めません。（%2）").arg(shown(path), reason));
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

// A table without the columns the program reads would make every lookup miss without a word; it is refused so
// that the start-up check names what is wrong.
void checkColumns(const QString& path, const TableSchema& schema, const ParsedTable& table) {
    if (table.header().isEmpty()) {
        throw StoreError(QStringLiteral("データファイル「%1」が空のため読み込めません。"
                                        "1 行目に列名（%2）が必要です。")
                             .arg(shown(path), schema.columns.join(u',')));
    }
    QStringList missing;
    for (const QString& name : schema.columns) {
        if (table.column(name) < 0) {
            missing.append(name);
        }
    }
    if (!missing.isEmpty()) {
        throw StoreError(QStringLiteral("データファイル「%1」の 1 行目に列 %2 がないため読み込めません。")
                             .arg(shown(path), missing.join(QStringLiteral("、"))));
    }
}

}  // namespace

ParsedTable parseTableFile(Table table, QByteArray bytes, const QString& path) {
    bool nonAscii = false;
    const qsizetype bad = cp932::firstInvalidByte(bytes, &nonAscii);
    // UTF-8 text can also pass as code page 932; it is told apart by how plausible each reading is.
    if (nonAscii && cp932::looksLikeUtf8(bytes)) {
        throw StoreError(QStringLiteral("データファイル「%1」は UTF-8 で保存されているため読み込めません。"
                                        "Shift_JIS（コードページ932）で保存し直してください。")
                             .arg(shown(path)));
    }
    if (bad >= 0) {
        throw StoreError(QStringLiteral("データファイル「%1」の %2 行目に Shift_JIS（コードページ932）"
                                        "ではない文字があるため読み込めません。")
                             .arg(shown(path))
                             .arg(lineOf(bytes, bad)));
    }
    ParsedTable parsed = ParsedTable::parse(std::move(bytes));
    checkColumns(path, schemaOf(table), parsed);
    return parsed;
}

QString unencodableMessage(const QString& path, const QString& character) {
    return QStringLiteral(
               "文字%1は Shift_JIS（コードページ932）で保存できないため、ファイル「%2」に書き込めません。"
               "別の文字に置き換えてください。")
        .arg(character, shown(path));
}

TableStore::TableStore(QString appFolder) : appFolder_(std::move(appFolder)) {}

QString TableStore::dbFolder() const {
    return QDir(appFolder_).filePath(QStringLiteral("DB"));
}

QString TableStore::pathOf(Table table) const {
    return QDir(dbFolder()).filePath(schemaOf(table).fileName);
}

void TableStore::checkFolder() const {
    if (!QFileInfo(dbFolder()).isDir()) {
        throw StoreError(QStringLiteral("データフォルダ「%1」が見つかりません。").arg(shown(dbFolder())));
    }
}

void TableStore::forget(Table table) const {
    cache_.erase(table);
}

TablePtr TableStore::read(Table table) const {
    checkFolder();
    const QString path = pathOf(table);
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode)) {
        throw StoreError(QStringLiteral("データファイル「%1」が見つかりません。").arg(shown(path)));
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        throw unreadable(path, file.errorString());
    }
    return load(table, file);
}

TablePtr TableStore::load(Table table, QFile& file) const {
    const QString path = file.fileName();
    const qint64 size = file.size();
    if (size >= kMaxFileBytes) {
        throw StoreError(QStringLiteral("データファイル「%1」は大きすぎるため読み込めません。").arg(shown(path)));
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

QByteArray TableStore::encodeOrThrow(Table table, const QString& text) const {
    cp932::Encoded encoded = cp932::encode(text);
    if (encoded.errorIndex >= 0) {
        const QString character = describeCharacter(text, encoded.errorIndex);
        throw UnencodableTextError(unencodableMessage(pathOf(table), character), character);
    }
    return encoded.bytes;
}

void TableStore::append(Table table, const QList<Value>& values) {
    checkFolder();
    const TableLock lock(*this, table);
    const QString path = pathOf(table);
    const QByteArray row = encodeOrThrow(table, formatRow(schemaOf(table), values)) + kLineEnd;
    auto failed = [&](const QString& reason) {
        return StoreError(QStringLiteral("データファイル「%1」に書き込めません。（%2）").arg(shown(path), reason));
    };

    if (!QFileInfo(path).isFile()) {
        throw StoreError(QStringLiteral("データファイル「%1」が見つかりません。").arg(shown(path)));
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered)) {
        throw failed(file.errorString());
    }
    const TablePtr current = load(table, file);
    const qint64 oldSize = current->bytes().size();
    QByteArray out;
    switch (current->ending()) {
        case ParsedTable::Ending::OpenQuote:
            // Cut short inside a quoted field (another program's crash, a full disk): the field is closed, so
            // the damaged row keeps what it held and the new row does not disappear into it.
            out = '"' + kLineEnd;
            break;
        case ParsedTable::Ending::OpenLine:
            // The last line lacks its line end (a file saved by another editor): end it, so rows never merge.
            out = kLineEnd;
            break;
        case ParsedTable::Ending::LineEnd:
            break;
    }
    out += row;
    if (!file.seek(oldSize) || file.write(out) != out.size() || !file.flush() || ::fsync(file.handle()) != 0) {
        const QString reason = file.errorString();
        file.resize(oldSize);
        forget(table);
        throw failed(reason);
    }
}

void TableStore::rewrite(Table table, const QList<QList<Value>>& rows) {
    checkFolder();
    const TableSchema& schema = schemaOf(table);
    // Everything is encoded before the file is touched, so a refused character leaves it as it was.
    QString text = schema.columns.join(u',') + QStringLiteral("\r\n");
    for (const QList<Value>& row : rows) {
        text += formatRow(schema, row);
        text += QStringLiteral("\r\n");
    }
    rewriteBytes(table, encodeOrThrow(table, text));
}

void TableStore::rewriteBytes(Table table, const QByteArray& bytes) {
    checkFolder();
    const QString path = pathOf(table);
    const TableLock lock(*this, table);
    auto failed = [&](const QString& reason) {
        return StoreError(QStringLiteral("データファイル「%1」に書き込めません。（%2）").arg(shown(path), reason));
    };
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        throw failed(file.errorString());
    }
    if (file.write(bytes) != bytes.size() || !file.flush() || ::fsync(file.handle()) != 0) {
        const QString reason = file.errorString();
        file.cancelWriting();
        throw failed(reason);
    }
    if (beforeCommit_ && !beforeCommit_()) {
        file.cancelWriting();
        throw failed(QStringLiteral("書き込みが中断されました"));
    }
    forget(table);
    if (!file.commit()) {
        throw failed(file.errorString());
    }
    // The rename itself is made durable too, so a power cut cannot bring the old file back.
    const int dir = ::open(QFile::encodeName(dbFolder()).constData(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

}  // namespace tsumiki
