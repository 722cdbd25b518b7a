#include "workbook/lockfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

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

QString normalisedUrl(QString url) {
    while (url.endsWith(u'/')) {
        url.chop(1);
    }
    return QUrl::fromPercentEncoding(url.toUtf8());
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

bool isProfileInUse(const QString& profileUrl) {
    const QString wanted = normalisedUrl(profileUrl);
    const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& pid : pids) {
        if (!pid.front().isDigit()) {
            continue;
        }
        QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
        if (!cmdline.open(QIODevice::ReadOnly)) {
            continue;
        }
        const QList<QByteArray> args = cmdline.readAll().split('\0');
        if (args.isEmpty() || !args.front().endsWith("soffice.bin")) {
            continue;
        }
        std::optional<QString> profile;
        for (const QByteArray& a : args) {
            static const QByteArray key = "-env:UserInstallation=";
            if (a.startsWith(key)) {
                profile = normalisedUrl(QString::fromUtf8(a.mid(key.size())));
            }
        }
        if (profile ? *profile == wanted : wanted.endsWith(u"/.config/libreoffice/4")) {
            return true;
        }
    }
    return false;
}

bool isSameProfile(const QString& a, const QString& b) {
    return normalisedUrl(a) == normalisedUrl(b);
}

QString localHostName() {
    char name[256] = {};
    gethostname(name, sizeof name - 1);
    return QString::fromLocal8Bit(name);
}

}  // namespace tsumiki::lockfile
