#include "platform/systemrandom.h"

namespace tsumiki {

void SystemRandom::reseed() {
    // Milliseconds since the epoch mixed with a counter, so that two draws within one millisecond still differ.
    static std::uint64_t counter = 0;
    std::seed_seq seq{static_cast<std::uint64_t>(clock_.now().toMSecsSinceEpoch()), ++counter};
    engine_.seed(seq);
}

double SystemRandom::next() {
    return std::uniform_real_distribution<double>(0.0, 1.0)(engine_);
}

}  // namespace tsumiki
