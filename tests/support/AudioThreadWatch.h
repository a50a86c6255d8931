// Watches one thread while it is marked as the audio thread: the heap allocations it makes and the times it
// has to wait for a mutex another thread holds.
#pragma once

#include <cstdint>

namespace corvex::testing {

// False in sanitizer builds, whose runtimes own the allocator and the locks: nothing is then counted.
bool allocationCountingAvailable();
bool lockWaitCountingAvailable();

// Marks the calling thread as rendering; what it does meanwhile is counted.
class ScopedAudioThread {
public:
    ScopedAudioThread();
    ~ScopedAudioThread();
    ScopedAudioThread(const ScopedAudioThread&) = delete;
    ScopedAudioThread& operator=(const ScopedAudioThread&) = delete;
};

int64_t audioThreadAllocations();
void resetAudioThreadAllocations();

// Mutex locks on the audio thread that found the mutex held and had to wait (a try-lock never waits).
int64_t audioThreadLockWaits();

} // namespace corvex::testing
