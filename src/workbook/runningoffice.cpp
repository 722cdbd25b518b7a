#include "workbook/runningoffice.h"

#include <QDir>
#include <QFile>
#include <QUrl>

namespace tsumiki {
namespace {

QString normalisedUrl(QString url) {
    while (url.endsWith(u'/')) {
        url.chop(1);
    }
    return QUrl::fromPercentEncoding(url.toUtf8());
}

}  // namespace

std::optional<RunningOffice> findOfficeUsing(const QString& profileUrl) {
    static const QByteArray profileKey = "-env:UserInstallation=";
    static const QByteArray acceptKey = "--accept=";
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
        // A zombie's command line is empty.
        const QList<QByteArray> args = cmdline.readAll().split('\0');
        if (args.isEmpty() || !args.front().endsWith("soffice.bin")) {
            continue;
        }
        std::optional<QString> profile;
        QString connectUrl;
        for (const QByteArray& a : args) {
            if (a.startsWith(profileKey)) {
                profile = normalisedUrl(QString::fromUtf8(a.mid(profileKey.size())));
            } else if (a.startsWith(acceptKey) && connectUrl.isEmpty()) {
                connectUrl = QStringLiteral("uno:") + QString::fromUtf8(a.mid(acceptKey.size()));
            }
        }
        if (profile ? *profile == wanted : wanted.endsWith(u"/.config/libreoffice/4")) {
            return RunningOffice{pid.toInt(), connectUrl};
        }
    }
    return std::nullopt;
}

bool isSameProfile(const QString& a, const QString& b) {
    return normalisedUrl(a) == normalisedUrl(b);
}

}  // namespace tsumiki
