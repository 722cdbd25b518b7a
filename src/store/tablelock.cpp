#include "store/tablelock.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <map>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "store/tablestore.h"

namespace tsumiki {
namespace {

struct Held {
    int fd = -1;
    int depth = 0;
};

// One thread uses the store; the map only lets nested holders share one descriptor, since a second flock on a
// new descriptor of the same file would wait for the first.
std::map<QString, Held>& heldLocks() {
    static std::map<QString, Held> held;
    return held;
}

int waitForLockMs = 5000;

}  // namespace

int TableLock::waitMs() {
    return waitForLockMs;
}

void TableLock::setWaitMs(int ms) {
    waitForLockMs = ms;
}

QString TableLock::lockPathOf(const TableStore& store, Table table) {
    return QDir(store.dbFolder()).filePath(u'.' + schemaOf(table).fileName + QStringLiteral(".lock"));
}

TableLock::TableLock(const TableStore& store, Table table) : path_(lockPathOf(store, table)) {
    Held& held = heldLocks()[path_];
    if (held.depth > 0) {
        ++held.depth;
        return;
    }
    const int fd = ::open(QFile::encodeName(path_).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        heldLocks().erase(path_);
        throw StoreError(QStringLiteral("ロックファイル「%1」を作成できません。").arg(QDir::toNativeSeparators(path_)));
    }
    QElapsedTimer waited;
    waited.start();
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (waited.elapsed() >= waitForLockMs) {
            ::close(fd);
            heldLocks().erase(path_);
            throw TableBusyError(QStringLiteral("ファイル「%1」は別の画面またはプログラムが更新中です。"
                                                "しばらく待ってからもう一度操作してください。")
                                     .arg(schemaOf(table).fileName));
        }
        QThread::msleep(20);
    }
    held = Held{fd, 1};
}

TableLock::~TableLock() {
    auto it = heldLocks().find(path_);
    if (it == heldLocks().end() || --it->second.depth > 0) {
        return;
    }
    ::flock(it->second.fd, LOCK_UN);
    ::close(it->second.fd);
    heldLocks().erase(it);
}

}  // namespace tsumiki
