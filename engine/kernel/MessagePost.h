// Messages posted for the next block: serialised posters, one lock-free reader, and an overflow that never drops.
#pragma once

#include <mutex>

#include "engine/kernel/KernelMessage.h"
#include "engine/kernel/MessageRing.h"

namespace corvex {

class RenderExclusion;
class SoftwareKernel;

class MessagePost {
public:
    // The kernel executes what leaves the ring, whether at a block's start or on overflow.
    explicit MessagePost(SoftwareKernel& kernel) : kernel_(kernel) {}

    // Any thread. When the ring is full the oldest message is executed at once, inside the render exclusion.
    void post(const KernelMessage& message);
    // Audio thread: executes at most `max` of the oldest messages.
    void executePending(int max);

    void setRenderExclusion(RenderExclusion* exclusion) { exclusion_ = exclusion; }
    int size() const { return ring_.size(); }
    // The i-th oldest message still waiting (posting side only).
    const KernelMessage& peek(int i) const { return ring_.peek(i); }

private:
    SoftwareKernel& kernel_;
    MessageRing ring_;
    KernelMessage pendingScratch_;  // audio thread
    KernelMessage overflowScratch_; // posting thread, under mutex_
    std::mutex mutex_;
    RenderExclusion* exclusion_ = nullptr;
};

} // namespace corvex
