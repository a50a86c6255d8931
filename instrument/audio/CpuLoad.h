// The smoothed share of real time that block processing takes, in percent, for the editor's meter.
#pragma once

#include <atomic>

namespace corvex {

class CpuLoad {
public:
    // Audio thread, once per block: elapsedMs is the time the block took to process. A block of no
    // samples or an unusable rate measures nothing, and the previous value stands.
    void update(double elapsedMs, int samples, double sampleRate);

    // Any thread.
    int percent() const { return percent_.load(std::memory_order_relaxed); }

private:
    std::atomic<int> percent_{0};
};

} // namespace corvex
