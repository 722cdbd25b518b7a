#pragma once

#include <QString>
#include <QStringList>

#include <sys/types.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

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

// Bounds a blocking call: when it has not returned within the time given, `onExpiry` runs on the watchdog's own
// thread, which ends the office and thereby makes the blocked call return with an error.
class CallDeadline {
public:
    explicit CallDeadline(std::function<void()> onExpiry);
    ~CallDeadline();
    CallDeadline(const CallDeadline&) = delete;
    CallDeadline& operator=(const CallDeadline&) = delete;

    void arm(int milliseconds);
    void disarm();
    // Whether the last armed deadline expired.
    bool expired() const;

private:
    void watch();

    std::function<void()> onExpiry_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool armed_ = false;
    bool expired_ = false;
    bool stopping_ = false;
    std::chrono::steady_clock::time_point deadline_;
    std::thread thread_;
};

}  // namespace tsumiki
