#include "store/tablelock.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <cerrno>
#include <map>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "store/systemerror.h"
#include "store/tablestore.h"
#include "store/writeerror.h"

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

TableLock::TableLock(const TableStore& store, Table table, Mode mode) : path_(lockPathOf(store, table)) {
    const bool exclusive = mode == Mode::Exclusive;
    if (Held& held = heldLocks()[path_]; held.depth > 0) {
        ++held.depth;
        held_ = true;
        return;
    }
    const QByteArray name = QFile::encodeName(path_);
    int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0 && !exclusive) {
        // A reader in a folder it may not write to still waits for a writer that could.
        fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    }
    if (fd < 0) {
        const int error = errno;
        heldLocks().erase(path_);
        if (!exclusive) {
            return;
        }
        throw WriteRefused(
            {WriteError::Kind::Failed, QStringLiteral("ロックファイル「%1」を作成できないため、書き込めません。（%2）")
                                           .arg(QDir::toNativeSeparators(path_), describeSystemError(error))});
    }
    QElapsedTimer waited;
    waited.start();
    while (::flock(fd, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
        if (waited.elapsed() >= waitForLockMs) {
            ::close(fd);
            heldLocks().erase(path_);
            if (!exclusive) {
                return;
            }
            throw WriteRefused(
                {WriteError::Kind::Busy, QStringLiteral("ファイル「%1」は別の画面またはプログラムが更新中です。"
                                                        "しばらく待ってからもう一度操作してください。")
                                             .arg(schemaOf(table).fileName)});
        }
        QThread::msleep(20);
    }
    heldLocks()[path_] = Held{fd, 1};
    held_ = true;
}

TableLock::~TableLock() {
    if (!held_) {
        return;
    }
    auto it = heldLocks().find(path_);
    if (it == heldLocks().end() || --it->second.depth > 0) {
        return;
    }
    ::flock(it->second.fd, LOCK_UN);
    ::close(it->second.fd);
    heldLocks().erase(it);
}

}  // namespace tsumiki
