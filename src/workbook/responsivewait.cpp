#include "workbook/responsivewait.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <condition_variable>
#include <mutex>
#include <thread>

namespace tsumiki {
namespace {

// How often the bound is looked at; a hung office is ended this much after its bound at the latest.
constexpr std::chrono::milliseconds kLook{100};

}  // namespace

bool ResponsiveWait::run(const std::function<void()>& work, std::chrono::milliseconds bound,
                         const std::function<void()>& onBound) {
    std::mutex mutex;
    std::condition_variable returned;
    bool done = false;
    std::exception_ptr failure;
    QEventLoop loop;
    const bool screens = QCoreApplication::instance() != nullptr;

    timer_->start();
    std::thread worker([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        {
            std::lock_guard lock(mutex);
            done = true;
        }
        returned.notify_all();
        if (screens) {
            QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        }
    });
    const auto isDone = [&] {
        std::lock_guard lock(mutex);
        return done;
    };
    bool past = false;
    const auto look = [&] {
        if (!past && timer_->elapsed() >= bound) {
            past = true;
            onBound();
        }
    };
    if (screens) {
        QTimer looker;
        QObject::connect(&looker, &QTimer::timeout, look);
        looker.start(kLook);
        while (!isDone()) {
            loop.exec();
        }
    } else {
        std::unique_lock lock(mutex);
        while (!returned.wait_for(lock, kLook, [&] { return done; })) {
            lock.unlock();
            look();
            lock.lock();
        }
    }
    // The worker may still be posting its wake-up to the loop; the loop must outlive that.
    worker.join();
    if (failure && !past) {
        std::rethrow_exception(failure);
    }
    return !past;
}

}  // namespace tsumiki
