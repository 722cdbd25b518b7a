#pragma once

#include <random>

#include "platform/clock.h"
#include "platform/random.h"

namespace tsumiki {

class SystemRandom final : public Random {
public:
    explicit SystemRandom(const Clock& clock) : clock_(clock) {}
    void reseed() override;
    double next() override;

private:
    const Clock& clock_;
    std::mt19937_64 engine_;
};

}  // namespace tsumiki
