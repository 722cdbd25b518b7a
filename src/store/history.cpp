#include "store/history.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

#include <unistd.h>

#include "store/storeerror.h"
#include "store/tablestore.h"

namespace tsumiki::history {
namespace {

QString stemOf(Table table) {
    return QFileInfo(schemaOf(table).fileName).completeBaseName();
}

// Copies of one table, oldest first. The counter of a second copy within one second is compared as a number.
QStringList copiesOldestFirst(const QDir& dir, Table table) {
    const QString stem = stemOf(table);
    QStringList names = dir.entryList({stem + QStringLiteral("_*.csv")}, QDir::Files, QDir::Name);
    auto key = [&](const QString& name) {
        const QString rest = name.mid(stem.size() + 1).chopped(4);  // yyyyMMdd-HHmmss[_n]
        const qsizetype underscore = rest.indexOf(u'_');
        const int counter = underscore < 0 ? 1 : rest.mid(underscore + 1).toInt();
        return std::make_pair(rest.left(15), counter);
    };
    std::stable_sort(names.begin(), names.end(), [&](const QString& a, const QString& b) { return key(a) < key(b); });
    return names;
}

}  // namespace

QString folderOf(const TableStore& store) {
    return QDir(store.appFolder()).filePath(QStringLiteral("履歴"));
}

QString keepCopy(const TableStore& store, Table table, const QByteArray& bytes, const QDateTime& now) {
    const QString folder = folderOf(store);
    auto failed = [&](const QString& reason) {
        return StoreError(QStringLiteral("更新前のファイルの控えを履歴フォルダ「%1」に保存できないため、"
                                         "登録を中止しました。（%2）")
                              .arg(QDir::toNativeSeparators(folder), reason));
    };
    if (!QDir().mkpath(folder)) {
        throw failed(QStringLiteral("フォルダを作成できません"));
    }
    const QDir dir(folder);
    const QString base = stemOf(table) + u'_' + now.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString path = dir.filePath(base + QStringLiteral(".csv"));
    for (int n = 2; QFileInfo::exists(path); ++n) {
        path = dir.filePath(base + QStringLiteral("_%1.csv").arg(n));
    }
    const bool linked =
        ::link(QFile::encodeName(store.pathOf(table)).constData(), QFile::encodeName(path).constData()) == 0;
    if (!linked) {
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
            throw failed(file.errorString());
        }
    }
    const QStringList copies = copiesOldestFirst(dir, table);
    for (qsizetype i = 0; i + kKeptPerTable < copies.size(); ++i) {
        QFile::remove(dir.filePath(copies[i]));
    }
    return path;
}

}  // namespace tsumiki::history
