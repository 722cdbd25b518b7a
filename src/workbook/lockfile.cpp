#include "workbook/lockfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

namespace tsumiki::lockfile {
namespace {

// Fields are separated by commas and the record ends in a semicolon; a backslash escapes the next character.
QStringList fields(const QString& text) {
    QStringList out{QString()};
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\\' && i + 1 < text.size()) {
            out.back() += text[++i];
        } else if (c == u',') {
            out.append(QString());
        } else if (c == u';') {
            break;
        } else {
            out.back() += c;
        }
    }
    return out;
}

}  // namespace

QString pathFor(const QString& documentPath) {
    const QFileInfo info(documentPath);
    return info.dir().filePath(QStringLiteral(".~lock.") + info.fileName() + u'#');
}

std::optional<Owner> read(const QString& documentPath) {
    QFile f(pathFor(documentPath));
    if (!f.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    const QStringList f5 = fields(QString::fromUtf8(f.readAll()));
    // user name, system user, host, time, profile
    if (f5.size() < 5) {
        return Owner{};
    }
    return Owner{f5[2], f5[4]};
}

QString localHostName() {
    char name[256] = {};
    gethostname(name, sizeof name - 1);
    return QString::fromLocal8Bit(name);
}

}  // namespace tsumiki::lockfile
