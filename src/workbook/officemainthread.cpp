#include "workbook/officemainthread.h"

#include <com/sun/star/awt/XCallback.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <cppuhelper/implbase1.hxx>
#include <rtl/ref.hxx>

#include <condition_variable>
#include <mutex>

namespace tsumiki {
namespace {

using namespace com::sun::star;

class MainThreadStep final : public cppu::WeakImplHelper1<awt::XCallback> {
public:
    explicit MainThreadStep(const std::function<void()>& step) : step_(step) {}

    void SAL_CALL notify(const uno::Any&) override {
        {
            std::lock_guard lock(mutex_);
            if (state_ == State::GivenUp) {
                return;
            }
            state_ = State::Running;
        }
        try {
            step_();
        } catch (...) {
            failure_ = std::current_exception();
        }
        {
            std::lock_guard lock(mutex_);
            state_ = State::Done;
        }
        changed_.notify_all();
    }

    // A step the office has begun is always waited for: it ends with the office at the latest, and it refers to the
    // caller's values.
    void wait(const std::function<bool()>& gone) {
        std::unique_lock lock(mutex_);
        while (state_ != State::Done) {
            if (state_ == State::Pending && gone()) {
                state_ = State::GivenUp;
                throw lang::DisposedException(rtl::OUString("the office ended before the step"));
            }
            changed_.wait_for(lock, std::chrono::milliseconds(50));
        }
        if (failure_) {
            std::rethrow_exception(failure_);
        }
    }

private:
    enum class State { Pending, Running, Done, GivenUp };

    const std::function<void()>& step_;
    std::mutex mutex_;
    std::condition_variable changed_;
    State state_ = State::Pending;
    std::exception_ptr failure_;
};

}  // namespace

void runOnOfficeMainThread(const uno::Reference<awt::XRequestCallback>& mainThread, const std::function<void()>& step,
                           const std::function<bool()>& gone) {
    const rtl::Reference<MainThreadStep> callback = new MainThreadStep(step);
    mainThread->addCallback(uno::Reference<awt::XCallback>(callback.get()), uno::Any());
    callback->wait(gone);
}

}  // namespace tsumiki
