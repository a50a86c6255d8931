// Renders blocks on a thread of its own, counting allocations there and checking every sample.
#pragma once

#include <cstdint>
#include <thread>

#include "tests/support/AllocationCounter.h"
#include "tests/support/SignalChecks.h"

namespace corvex::testing {

struct RealTimeReport {
    int64_t allocationsAfterFirstBlock = 0;
    int badSamples = 0;
    int blocks = 0;
};

// renderBlock(blockIndex, left, right) runs on the rendering thread and fills 32 frames per channel;
// whatever the message thread does meanwhile happens in the caller, between start and finish.
template <class RenderBlock>
class RealTimeRun {
public:
    RealTimeRun(int blocks, RenderBlock renderBlock) : blocks_(blocks), renderBlock_(renderBlock) {
        thread_ = std::thread([this] { loop(); });
    }
    ~RealTimeRun() { finish(); }

    RealTimeReport finish() {
        if (thread_.joinable()) thread_.join();
        return report_;
    }

private:
    void loop() {
        float left[32], right[32];
        int64_t afterFirst = 0;
        {
            ScopedAudioThread audio;
            for (int i = 0; i < blocks_; ++i) {
                renderBlock_(i, left, right);
                if (i == 0) afterFirst = audioThreadAllocations();
                report_.badSamples += badSamples(left, 32) + badSamples(right, 32);
                ++report_.blocks;
            }
        }
        report_.allocationsAfterFirstBlock = audioThreadAllocations() - afterFirst;
    }

    int blocks_;
    RenderBlock renderBlock_;
    RealTimeReport report_;
    std::thread thread_;
};

template <class RenderBlock>
RealTimeRun(int, RenderBlock) -> RealTimeRun<RenderBlock>;

} // namespace corvex::testing
