#include "store/tablefile.h"

#include <QDir>

#include <algorithm>
#include <cstring>

#include "store/cp932.h"
#include "store/storeerror.h"
#include "store/systemerror.h"
#include "store/utf8check.h"

namespace tsumiki {
namespace {

// Line number (from 1) of a byte offset, for the message about an undecodable file.
qsizetype lineOf(const QByteArray& bytes, qsizetype offset) {
    return bytes.left(offset).count('\n') + 1;
}

// A table without the columns the program reads would make every lookup miss without a word; it is refused so
// that the start-up check names what is wrong.
void checkColumns(const QString& path, const TableSchema& schema, const ParsedTable& table) {
    if (table.header().isEmpty()) {
        throw StoreError(QStringLiteral("データファイル「%1」が空のため読み込めません。"
                                        "1 行目に列名（%2）が必要です。")
                             .arg(shownPath(path), schema.columns.join(u',')));
    }
    QStringList missing;
    for (const QString& name : schema.columns) {
        if (table.column(name) < 0) {
            missing.append(name);
        }
    }
    if (!missing.isEmpty()) {
        throw StoreError(QStringLiteral("データファイル「%1」の 1 行目に列 %2 がないため読み込めません。")
                             .arg(shownPath(path), missing.join(QStringLiteral("、"))));
    }
}

}  // namespace

QString shownPath(const QString& path) {
    return QDir::toNativeSeparators(path);
}

void checkEncoding(const QByteArray& bytes, const QString& path) {
    bool nonAscii = false;
    const qsizetype bad = cp932::firstInvalidByte(bytes, &nonAscii);
    if (nonAscii && cp932::looksLikeUtf8(bytes)) {
        throw StoreError(QStringLiteral("データファイル「%1」は UTF-8 で保存されているため読み込めません。"
                                        "Shift_JIS（コードページ932）で保存し直してください。")
                             .arg(shownPath(path)));
    }
    if (bad >= 0) {
        throw StoreError(QStringLiteral("データファイル「%1」の %2 行目に Shift_JIS（コードページ932）"
                                        "ではない文字があるため読み込めません。")
                             .arg(shownPath(path))
                             .arg(lineOf(bytes, bad)));
    }
}

ParsedTable parseCheckedBytes(Table table, QByteArray bytes, const QString& path) {
    ParsedTable parsed = ParsedTable::parse(std::move(bytes));
    checkColumns(path, schemaOf(table), parsed);
    return parsed;
}

ParsedTable parseTableFile(Table table, QByteArray bytes, const QString& path) {
    checkEncoding(bytes, path);
    return parseCheckedBytes(table, std::move(bytes), path);
}

QString describeCharacter(const QString& text, qsizetype index) {
    const QChar c = text[index];
    const bool pair = c.isHighSurrogate() && index + 1 < text.size() && text[index + 1].isLowSurrogate();
    const char32_t code = pair ? QChar::surrogateToUcs4(c, text[index + 1]) : c.unicode();
    const QString number = QString::number(static_cast<uint>(code), 16).toUpper().rightJustified(4, u'0');
    if (c.isSurrogate() && !pair) {
        return QStringLiteral("（壊れた文字 U+%1）").arg(number);
    }
    return QStringLiteral("「%1」(U+%2)").arg(text.mid(index, pair ? 2 : 1), number);
}

QString writeFailedMessage(const QString& path, int error) {
    return QStringLiteral("データファイル「%1」に書き込めません。（%2）")
        .arg(shownPath(path), describeSystemError(error));
}

bool fileStartsWith(QFile& file, QByteArrayView expected) {
    char buffer[64 * 1024];
    qsizetype done = 0;
    while (done < expected.size()) {
        const qint64 want = std::min<qint64>(sizeof(buffer), expected.size() - done);
        const qint64 got = file.read(buffer, want);
        if (got != want || std::memcmp(buffer, expected.data() + done, static_cast<size_t>(got)) != 0) {
            return false;
        }
        done += got;
    }
    return true;
}

QString unencodableMessage(const QString& path, const QString& character) {
    return QStringLiteral(
               "文字%1は Shift_JIS（コードページ932）で保存できないため、ファイル「%2」に書き込めません。"
               "別の文字に置き換えてください。")
        .arg(character, shownPath(path));
}

}  // namespace tsumiki
