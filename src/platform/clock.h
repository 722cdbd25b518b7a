#pragma once

#include <QDateTime>

namespace tsumiki {

// The only way the program reads the time, so that every rule can be tested at a fixed moment.
class Clock {
public:
    virtual ~Clock() = default;
    // Local date and time.
    virtual QDateTime now() const = 0;
};

class SystemClock final : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

}  // namespace tsumiki
