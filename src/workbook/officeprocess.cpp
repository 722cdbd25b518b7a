#include "workbook/officeprocess.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

extern char** environ;

namespace tsumiki {

OfficeProcess::~OfficeProcess() {
    kill();
}

bool OfficeProcess::start(const QString& program, const QStringList& arguments, const QStringList& extraEnvironment) {
    std::vector<QByteArray> storage;
    storage.push_back(program.toLocal8Bit());
    for (const QString& a : arguments) {
        storage.push_back(a.toUtf8());
    }
    std::vector<char*> argv;
    for (QByteArray& s : storage) {
        argv.push_back(s.data());
    }
    argv.push_back(nullptr);

    std::vector<QByteArray> envStorage;
    for (const QString& e : extraEnvironment) {
        envStorage.push_back(e.toUtf8());
    }
    for (char** e = environ; *e; ++e) {
        const QByteArray entry(*e);
        const QByteArray name = entry.left(entry.indexOf('=') + 1);
        bool replaced = false;
        for (const QString& x : extraEnvironment) {
            replaced = replaced || x.toUtf8().startsWith(name);
        }
        if (!replaced) {
            envStorage.push_back(entry);
        }
    }
    std::vector<char*> envp;
    for (QByteArray& s : envStorage) {
        envp.push_back(s.data());
    }
    envp.push_back(nullptr);

    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    // The office's own chatter (a missing Java, and the like) is not the program's to show.
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&files, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, argv[0], &files, &attributes, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&files);
    posix_spawnattr_destroy(&attributes);
    if (rc != 0) {
        error_ = QString::fromLocal8Bit(strerror(rc));
        return false;
    }
    pid_ = pid;
    adopted_ = false;
    return true;
}

void OfficeProcess::adopt(pid_t pid) {
    pid_ = pid;
    adopted_ = true;
}

bool OfficeProcess::isRunning() {
    if (pid_ <= 0) {
        return false;
    }
    if (adopted_) {
        // Its parent reaps it, perhaps late: a zombie has ended.
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid_));
        if (stat.open(QIODevice::ReadOnly)) {
            const QByteArray line = stat.readAll();
            const qsizetype state = line.lastIndexOf(')') + 2;
            if (state > 1 && state < line.size() && line[state] != 'Z' && line[state] != 'X') {
                return true;
            }
        }
        pid_ = -1;
        return false;
    }
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
        // The launcher is gone; whatever it left in its group goes with it.
        ::kill(-pid_, SIGKILL);
        pid_ = -1;
        return false;
    }
    return true;
}

bool OfficeProcess::waitForExit(int milliseconds) {
    QElapsedTimer timer;
    timer.start();
    while (isRunning()) {
        if (timer.elapsed() >= milliseconds) {
            return false;
        }
        QThread::msleep(20);
    }
    return true;
}

void OfficeProcess::interrupt() const {
    const pid_t pid = pid_;
    if (pid > 0) {
        ::kill(adopted_ ? pid : -pid, SIGKILL);
    }
}

void OfficeProcess::kill() {
    if (pid_ <= 0) {
        return;
    }
    interrupt();
    if (!adopted_) {
        int status = 0;
        waitpid(pid_, &status, 0);
    }
    pid_ = -1;
}

}  // namespace tsumiki
