#include "store/history.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>

#include <sys/stat.h>

#include "store/durablefile.h"
#include "store/tablestore.h"

namespace tsumiki::history {
namespace {

QString stemOf(Table table) {
    return QFileInfo(schemaOf(table).fileName).completeBaseName();
}

// The table's copies with their order: (number, time and counter of the names kept before copies were
// numbered, which all come first).
struct Copy {
    qint64 number;
    QString time;
    int counter;
    QString name;
    bool operator<(const Copy& other) const {
        return std::tie(number, time, counter) < std::tie(other.number, other.time, other.counter);
    }
};

std::vector<Copy> copiesOf(const QDir& dir, Table table) {
    static const QRegularExpression numbered(QStringLiteral("^_(\\d{6,12})_(\\d{8}-\\d{6})\\.csv$"));
    static const QRegularExpression dated(QStringLiteral("^_(\\d{8}-\\d{6})(?:_(\\d+))?\\.csv$"));
    const QString stem = stemOf(table);
    std::vector<Copy> copies;
    for (const QString& name : dir.entryList({stem + QStringLiteral("_*.csv")}, QDir::Files)) {
        const QString rest = name.mid(stem.size());
        if (const QRegularExpressionMatch m = numbered.match(rest); m.hasMatch()) {
            copies.push_back({m.captured(1).toLongLong(), m.captured(2), 0, name});
        } else if (const QRegularExpressionMatch d = dated.match(rest); d.hasMatch()) {
            copies.push_back({0, d.captured(1), d.captured(2).isEmpty() ? 1 : d.captured(2).toInt(), name});
        }
    }
    std::sort(copies.begin(), copies.end());
    return copies;
}

}  // namespace

QString folderOf(const TableStore& store) {
    return QDir(store.appFolder()).filePath(QStringLiteral("履歴"));
}

QString makeFolder(const TableStore& store) {
    const QString folder = folderOf(store);
    if (!QFileInfo(folder).isDir()) {
        if (::mkdir(QFile::encodeName(folder).constData(), 0755) != 0 && errno != EEXIST) {
            throw durable::SystemFailure{errno};
        }
        durable::syncFolder(store.appFolder());
    }
    return folder;
}

QString nextCopyPath(const TableStore& store, Table table, const QDateTime& now) {
    const QDir dir(folderOf(store));
    const std::vector<Copy> copies = copiesOf(dir, table);
    const qint64 number = copies.empty() ? 1 : copies.back().number + 1;
    return dir.filePath(QStringLiteral("%1_%2_%3.csv")
                            .arg(stemOf(table))
                            .arg(number, 6, 10, QLatin1Char('0'))
                            .arg(now.toString(QStringLiteral("yyyyMMdd-HHmmss"))));
}

QString writeCopy(const TableStore& store, Table table, QByteArrayView bytes, const QDateTime& now) {
    const QString folder = makeFolder(store);
    const QString written = durable::writeNewFile(folder, u'.' + stemOf(table) + QStringLiteral(".new-"), bytes, 0644);
    const QString path = nextCopyPath(store, table, now);
    try {
        durable::renameFile(written, path);
    } catch (const durable::SystemFailure&) {
        QFile::remove(written);
        throw;
    }
    try {
        durable::syncFolder(folder);
    } catch (const durable::SystemFailure&) {
        // A copy whose name may not survive a power cut is no copy to rely on.
        QFile::remove(path);
        throw;
    }
    return path;
}

void prune(const TableStore& store, Table table) {
    const QDir dir(folderOf(store));
    const std::vector<Copy> copies = copiesOf(dir, table);
    for (std::size_t i = 0; i + kKeptPerTable < copies.size(); ++i) {
        QFile::remove(dir.filePath(copies[i].name));
    }
}

}  // namespace tsumiki::history
