#pragma once

#include <QString>

namespace tsumiki {

enum class XlsEncryption { Encrypted, Plain, NotAWorkbook };

// Reads the workbook stream of an .xls file: an encrypted one announces its encryption right after the first
// record, and from then on most record contents are no longer readable as plain text. Both are checked, because an
// office release once flagged a file as encrypted and wrote it in the clear.
XlsEncryption XlsEncryptionOf(const QString& path);

}  // namespace tsumiki
