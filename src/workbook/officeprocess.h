#pragma once

#include <QString>
#include <QStringList>

#include <sys/types.h>

#include <atomic>

namespace tsumiki {

// The office process a connection talks to. One we start runs in a process group of its own: its launcher forks the
// real program, and ending the group ends both without touching any other office process on the machine. One that an
// earlier run of the program left running is adopted: not our child, so it is watched and ended by its own id.
class OfficeProcess {
public:
    OfficeProcess() = default;
    OfficeProcess(const OfficeProcess&) = delete;
    OfficeProcess& operator=(const OfficeProcess&) = delete;
    // Ends the process unless it was detached.
    ~OfficeProcess();

    // False with errorString() when the program cannot be run.
    bool start(const QString& program, const QStringList& arguments, const QStringList& extraEnvironment);
    void adopt(pid_t pid);
    bool isRunning();
    pid_t pid() const { return pid_; }
    // Waits up to the time given for the process to end by itself.
    bool waitForExit(int milliseconds);
    // Ends the process at once (and reaps the launcher we started).
    void kill();
    // Only sends the end signal; safe from another thread while a call into the office blocks.
    void interrupt() const;
    // Leaves the process running after the program ends, for the workbooks the user is looking at.
    void detach() { pid_ = -1; }
    const QString& errorString() const { return error_; }

private:
    std::atomic<pid_t> pid_ = -1;
    std::atomic<bool> adopted_ = false;
    QString error_;
};

}  // namespace tsumiki
