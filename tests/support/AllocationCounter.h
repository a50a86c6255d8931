// Counts heap allocations made by one thread while it is marked as the audio thread.
#pragma once

#include <cstdint>

namespace corvex::testing {

// False in sanitizer builds, whose runtimes own the allocator: the count is then not kept.
bool allocationCountingAvailable();

// Marks the calling thread as rendering; allocations it makes meanwhile are counted.
class ScopedAudioThread {
public:
    ScopedAudioThread();
    ~ScopedAudioThread();
    ScopedAudioThread(const ScopedAudioThread&) = delete;
    ScopedAudioThread& operator=(const ScopedAudioThread&) = delete;
};

int64_t audioThreadAllocations();
void resetAudioThreadAllocations();

} // namespace corvex::testing
