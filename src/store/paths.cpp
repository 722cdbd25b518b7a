#include "store/paths.h"

namespace tsumiki {
namespace {
qsizetype lastSeparator(const QString& path) {
    return std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
}
}  // namespace

QString GetDirectoryPart(const QString& path) {
    const qsizetype i = lastSeparator(path);
    return i < 0 ? QString() : path.left(i);
}

QString GetFileNamePart(const QString& path) {
    return path.mid(lastSeparator(path) + 1);
}

QString NullToText(const Value& value, const QString& fallback) {
    return value.value_or(fallback);
}

}  // namespace tsumiki
