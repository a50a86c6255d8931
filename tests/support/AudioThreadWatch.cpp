// Replaces malloc and friends, and pthread_mutex_lock, for the test binary so that allocations and lock waits
// on a rendering thread are seen.
#include "tests/support/AudioThreadWatch.h"

#include <dlfcn.h>
#include <pthread.h>

#include <atomic>
#include <cstddef>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define CORVEX_COUNT_ALLOCATIONS 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define CORVEX_COUNT_ALLOCATIONS 0
#endif
#endif
#ifndef CORVEX_COUNT_ALLOCATIONS
#define CORVEX_COUNT_ALLOCATIONS 1
#endif

namespace {
thread_local bool tAudioThread = false;
std::atomic<int64_t> gAudioAllocations{0};
std::atomic<int64_t> gAudioLockWaits{0};

inline void noteAllocation() {
    if (tAudioThread) gAudioAllocations.fetch_add(1, std::memory_order_relaxed);
}
} // namespace

#if CORVEX_COUNT_ALLOCATIONS
extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void* __libc_memalign(size_t, size_t);

void* malloc(size_t n) {
    noteAllocation();
    return __libc_malloc(n);
}
void* calloc(size_t n, size_t size) {
    noteAllocation();
    return __libc_calloc(n, size);
}
void* realloc(void* p, size_t n) {
    noteAllocation();
    return __libc_realloc(p, n);
}
void* memalign(size_t alignment, size_t n) {
    noteAllocation();
    return __libc_memalign(alignment, n);
}
void* aligned_alloc(size_t alignment, size_t n) {
    noteAllocation();
    return __libc_memalign(alignment, n);
}
int posix_memalign(void** out, size_t alignment, size_t n) {
    noteAllocation();
    void* p = __libc_memalign(alignment, n);
    if (p == nullptr) return 12; // ENOMEM
    *out = p;
    return 0;
}
}

namespace {
// Every std::mutex, juce::CriticalSection and library lock in the process comes through here. Only the
// audio thread tries first, so that a lock it would have to wait for is counted before it waits.
using MutexLock = int (*)(pthread_mutex_t*);

MutexLock realMutexLock() {
    static std::atomic<MutexLock> real{nullptr};
    MutexLock f = real.load(std::memory_order_acquire);
    if (f == nullptr) {
        f = reinterpret_cast<MutexLock>(dlsym(RTLD_NEXT, "pthread_mutex_lock"));
        real.store(f, std::memory_order_release);
    }
    return f;
}
} // namespace

extern "C" int pthread_mutex_lock(pthread_mutex_t* mutex) noexcept {
    if (tAudioThread) {
        if (pthread_mutex_trylock(mutex) == 0) return 0;
        gAudioLockWaits.fetch_add(1, std::memory_order_relaxed);
    }
    return realMutexLock()(mutex);
}
#endif

namespace corvex::testing {

bool allocationCountingAvailable() { return CORVEX_COUNT_ALLOCATIONS != 0; }
bool lockWaitCountingAvailable() { return CORVEX_COUNT_ALLOCATIONS != 0; }

ScopedAudioThread::ScopedAudioThread() { tAudioThread = true; }
ScopedAudioThread::~ScopedAudioThread() { tAudioThread = false; }

int64_t audioThreadAllocations() { return gAudioAllocations.load(); }
void resetAudioThreadAllocations() { gAudioAllocations.store(0); }
int64_t audioThreadLockWaits() { return gAudioLockWaits.load(); }

} // namespace corvex::testing
