#pragma once

namespace tsumiki {

// The only source of random numbers; tests script the sequence.
class Random {
public:
    virtual ~Random() = default;
    // Seeds the generator afresh from the clock.
    virtual void reseed() = 0;
    // A number in [0, 1).
    virtual double next() = 0;
};

}  // namespace tsumiki
