#include "store/tablestore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

}  // namespace

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
    const qint64 mtimeNs = static_cast<qint64>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    const qint64 ctimeNs = static_cast<qint64>(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    if (auto it = cache_.find(table); it != cache_.end() && it->second.size == st.st_size &&
                                      it->second.mtimeNs == mtimeNs && it->second.ctimeNs == ctimeNs &&
                                      it->second.inode == st.st_ino) {
        return it->second.table;
    }

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw StoreError(
            QStringLiteral("データファイル「%1」を読み込めません。（%2）").arg(shown(path), file.errorString()));
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        throw StoreError(
            QStringLiteral("データファイル「%1」を読み込めません。（%2）").arg(shown(path), file.errorString()));
    }
    file.close();
    bool nonAscii = false;
    const qsizetype bad = cp932::firstInvalidByte(bytes, &nonAscii);
    // UTF-8 Japanese often also passes as code page 932, so it is recognised before it can be read as mojibake.
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
    auto parsed = std::make_shared<const ParsedTable>(ParsedTable::parse(bytes));
    cache_[table] = CacheEntry{st.st_size, mtimeNs, ctimeNs, st.st_ino, parsed};
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
    if (!file.open(QIODevice::ReadWrite)) {
        throw failed(file.errorString());
    }
    const qint64 oldSize = file.size();
    QByteArray out = row;
    if (oldSize > 0) {
        file.seek(oldSize - 1);
        if (file.read(1) != QByteArrayLiteral("\n")) {
            // The last line lacks its line end (a file saved by another editor): end it, so rows never merge.
            out.prepend(kLineEnd);
        }
    }
    forget(table);
    if (!file.seek(oldSize) || file.write(out) != out.size() || !file.flush() || ::fsync(file.handle()) != 0) {
        const QString reason = file.errorString();
        file.resize(oldSize);
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
