// Flush-to-zero and denormals-are-zero for the length of a render, restored on exit.
#pragma once

#if defined(__SSE__) || defined(__x86_64__)
#include <xmmintrin.h>
#define CORVEX_HAS_MXCSR 1
#else
#define CORVEX_HAS_MXCSR 0
#endif

namespace corvex {

// Denormal arithmetic runs a hundred times slower on x86: a decaying tail that reaches them would
// overrun the audio period. The kernel sets this around every block, so every caller gets it.
class ScopedNoDenormals {
public:
    ScopedNoDenormals() {
#if CORVEX_HAS_MXCSR
        saved_ = _mm_getcsr();
        _mm_setcsr(saved_ | kFlushBits);
#endif
    }
    ~ScopedNoDenormals() {
#if CORVEX_HAS_MXCSR
        _mm_setcsr(saved_);
#endif
    }
    ScopedNoDenormals(const ScopedNoDenormals&) = delete;
    ScopedNoDenormals& operator=(const ScopedNoDenormals&) = delete;

    // FTZ (bit 15) and DAZ (bit 6) of MXCSR.
    static constexpr unsigned kFlushBits = 0x8040u;

private:
    unsigned saved_ = 0;
};

// The opposite, for tests: denormals pass through, so only the modules' own flushes keep a tail clean.
class ScopedDenormalsAllowed {
public:
    ScopedDenormalsAllowed() {
#if CORVEX_HAS_MXCSR
        saved_ = _mm_getcsr();
        _mm_setcsr(saved_ & ~ScopedNoDenormals::kFlushBits);
#endif
    }
    ~ScopedDenormalsAllowed() {
#if CORVEX_HAS_MXCSR
        _mm_setcsr(saved_);
#endif
    }
    ScopedDenormalsAllowed(const ScopedDenormalsAllowed&) = delete;
    ScopedDenormalsAllowed& operator=(const ScopedDenormalsAllowed&) = delete;

private:
    unsigned saved_ = 0;
};

} // namespace corvex
