#include "engine/kernel/MessagePost.h"

#include "engine/kernel/RenderExclusion.h"
#include "engine/kernel/SoftwareKernel.h"

namespace corvex {

void MessagePost::post(const KernelMessage& message) {
    std::lock_guard<std::mutex> serialise(mutex_);
    if (ring_.full()) {
        // Never drop a message: run the oldest one now, but never beside a rendering block. The
        // renderer may have emptied the ring before the exclusion was granted, so look again.
        if (exclusion_) exclusion_->enterExclusion();
        if (ring_.full()) {
            ring_.pop(overflowScratch_);
            kernel_.processMessage(overflowScratch_.words, overflowScratch_.wordCount);
        }
        if (exclusion_) exclusion_->exitExclusion();
    }
    ring_.push(message);
}

void MessagePost::executePending(int max) {
    for (int n = 0; n < max && !ring_.empty(); ++n) {
        ring_.pop(pendingScratch_);
        kernel_.processMessage(pendingScratch_.words, pendingScratch_.wordCount);
    }
}

} // namespace corvex
