// The time and randomness a kernel reads, injectable so that tests and renders are repeatable.
#pragma once

#include <chrono>
#include <cstdint>

namespace corvex {

class KernelClock {
public:
    virtual ~KernelClock() = default;
    virtual int64_t ticks() const = 0;
    virtual int64_t ticksPerSecond() const = 0;
};

class SteadyKernelClock final : public KernelClock {
public:
    int64_t ticks() const override {
        return std::chrono::duration_cast<std::chrono::nanoseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
    int64_t ticksPerSecond() const override { return 1000000000; }
};

// A small xorshift generator: cheap, allocation-free and repeatable from its seed.
struct KernelRandom {
    uint32_t state = 0x2545F491u;

    void seed(uint32_t s) { state = s != 0 ? s : 0x2545F491u; }
    uint32_t next() {
        uint32_t x = state;
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        state = x;
        return x;
    }
    // Uniform in [0, 1).
    float nextFloat() { return static_cast<float>(next() >> 8) * (1.0f / 16777216.0f); }
};

} // namespace corvex
