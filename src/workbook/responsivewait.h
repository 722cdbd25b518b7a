#pragma once

#include <chrono>
#include <functional>
#include <memory>

namespace tsumiki {

// How long a call into the office has been going. The real one reads the steady clock; a test's makes the office as
// slow as it likes without anyone waiting for it.
class CallTimer {
public:
    virtual ~CallTimer() = default;
    virtual void start() = 0;
    virtual std::chrono::milliseconds elapsed() const = 0;
};

class SteadyCallTimer final : public CallTimer {
public:
    void start() override { started_ = std::chrono::steady_clock::now(); }
    std::chrono::milliseconds elapsed() const override {
        return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started_);
    }

private:
    std::chrono::steady_clock::time_point started_;
};

// Runs a blocking call on a thread of its own while this thread keeps handling its events, so that the screens stay
// responsive however long the office takes, and gives the call up once its bound has passed.
class ResponsiveWait {
public:
    explicit ResponsiveWait(std::shared_ptr<CallTimer> timer) : timer_(std::move(timer)) {}

    // Returns once `work` has returned, rethrowing what it threw. When the bound passes first, `onBound` runs once on
    // this thread and must make `work` return soon (by ending the office); the result is then false and what `work`
    // threw on its way out is dropped.
    bool run(const std::function<void()>& work, std::chrono::milliseconds bound, const std::function<void()>& onBound);

private:
    std::shared_ptr<CallTimer> timer_;
};

}  // namespace tsumiki
