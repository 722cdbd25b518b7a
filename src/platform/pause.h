#pragma once

#include <QEventLoop>
#include <QTimer>

namespace tsumiki {

// A wait during which the screens keep handling their events. Tests replace it so that nothing waits on the real
// clock.
class Pause {
public:
    virtual ~Pause() = default;
    virtual void keepScreenResponsiveFor(int seconds) = 0;
};

class EventLoopPause final : public Pause {
public:
    void keepScreenResponsiveFor(int seconds) override {
        QEventLoop loop;
        QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
        loop.exec();
    }
};

}  // namespace tsumiki
