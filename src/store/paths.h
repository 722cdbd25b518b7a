#pragma once

#include <QString>

#include "store/table.h"

namespace tsumiki {

// The text before the last path separator ("/" or "\"); empty when there is none.
QString GetDirectoryPart(const QString& path);
// The text after the last path separator; the whole path when there is none.
QString GetFileNamePart(const QString& path);
// The value, or the fallback when it is Null.
QString NullToText(const Value& value, const QString& fallback);

}  // namespace tsumiki
