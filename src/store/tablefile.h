#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include "store/parsedtable.h"

// What makes bytes a readable table file, and the Japanese messages that say why a file or a value is refused.
namespace tsumiki {

// The checks and the parse a read applies to the bytes of a table file: refuses (StoreError naming `path`) bytes
// that are UTF-8 or not code page 932, and a table that is empty or lacks one of its columns.
ParsedTable parseTableFile(Table table, QByteArray bytes, const QString& path);
// Its two halves: the encoding (whether the bytes read as code page 932 at all), which only the whole file can
// decide, and the parse with the check of the header, for bytes whose encoding was decided with a larger file.
void checkEncoding(const QByteArray& bytes, const QString& path);
ParsedTable parseCheckedBytes(Table table, QByteArray bytes, const QString& path);

// A path as the messages show it.
QString shownPath(const QString& path);

// The character at `index` (both halves of a surrogate pair) with its code point, as 「x」(U+XXXX); a lone
// surrogate, which is no character at all, is named by its code alone.
QString describeCharacter(const QString& text, qsizetype index);

// The system refused a write to the file (error number `error`).
QString writeFailedMessage(const QString& path, int error);

// Whether the file, read from its current position, begins with `expected`. Reads a piece at a time, so that a
// large file is compared without a second copy of it.
bool fileStartsWith(QFile& file, QByteArrayView expected);

// A value holding that character cannot be written to the file.
QString unencodableMessage(const QString& path, const QString& character);

}  // namespace tsumiki
