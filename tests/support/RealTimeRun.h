// Renders blocks on a thread of its own, counting allocations and lock waits there and measuring every sample.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <thread>

#include "tests/support/AudioThreadWatch.h"
#include "tests/support/SignalChecks.h"

namespace corvex::testing {

// Below -60 dBFS a block counts as silent.
constexpr float kAudibleLevel = 1.0e-3f;

struct RealTimeReport {
    int requestedBlocks = 0;
    int blocks = 0;
    int64_t allocationsAfterFirstBlock = 0;
    bool allocationsCounted = false;
    int64_t lockWaits = 0; // mutex locks the rendering thread found held by another thread
    bool lockWaitsCounted = false;
    int badSamples = 0;
    float peak = 0.0f;      // largest magnitude of any finite sample
    int soundingBlocks = 0; // blocks whose peak reaches kAudibleLevel
};

// renderBlock(blockIndex, left, right) runs on the rendering thread and fills 32 frames per channel;
// whatever the message thread does meanwhile happens in the caller, between start and finish.
template <class RenderBlock>
class RealTimeRun {
public:
    static constexpr int kFrames = 32;

    RealTimeRun(int blocks, RenderBlock renderBlock) : blocks_(blocks), renderBlock_(renderBlock) {
        report_.requestedBlocks = blocks;
        thread_ = std::thread([this] { loop(); });
    }
    ~RealTimeRun() { finish(); }

    RealTimeReport finish() {
        if (thread_.joinable()) thread_.join();
        return report_;
    }

private:
    void loop() {
        float left[kFrames], right[kFrames];
        int64_t afterFirst = 0;
        const int64_t waitsBefore = audioThreadLockWaits();
        {
            ScopedAudioThread audio;
            for (int i = 0; i < blocks_; ++i) {
                // Cleared each time, so a renderer that writes nothing is measured as silence, not as the
                // previous block.
                std::fill(left, left + kFrames, 0.0f);
                std::fill(right, right + kFrames, 0.0f);
                renderBlock_(i, left, right);
                if (i == 0) afterFirst = audioThreadAllocations();
                measure(left, right);
                ++report_.blocks;
            }
        }
        report_.allocationsAfterFirstBlock = audioThreadAllocations() - afterFirst;
        report_.allocationsCounted = allocationCountingAvailable();
        report_.lockWaits = audioThreadLockWaits() - waitsBefore;
        report_.lockWaitsCounted = lockWaitCountingAvailable();
    }

    void measure(const float* left, const float* right) {
        report_.badSamples += badSamples(left, kFrames) + badSamples(right, kFrames);
        float blockPeak = 0.0f;
        for (int i = 0; i < kFrames; ++i)
            for (const float s : {left[i], right[i]})
                if (std::isfinite(s)) blockPeak = std::max(blockPeak, std::fabs(s));
        report_.peak = std::max(report_.peak, blockPeak);
        if (blockPeak >= kAudibleLevel) ++report_.soundingBlocks;
    }

    int blocks_;
    RenderBlock renderBlock_;
    RealTimeReport report_;
    std::thread thread_;
};

template <class RenderBlock>
RealTimeRun(int, RenderBlock) -> RealTimeRun<RenderBlock>;

} // namespace corvex::testing
