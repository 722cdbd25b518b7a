#pragma once

#include <QStringView>

namespace tsumiki {

// True when no character of the text takes a single byte in code page 932 (a character the code page cannot
// carry counts as single-byte, as it would be written as "?"). Empty text gives true.
bool IsDoubleByteText(QStringView text);

}  // namespace tsumiki
