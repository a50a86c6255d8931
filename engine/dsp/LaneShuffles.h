// Moves between voice-major blocks and sample-major lane vectors, shared by the lane loops of every
// module. Only moves: no value changes.
#pragma once

namespace corvex {
namespace {

// Turns W vectors of W floats around: element e of vector r becomes element r of vector e.
template <typename F, int W>
__attribute__((always_inline)) inline void transposeSquare(F* v) {
    static_assert(W == 4 || W == 8, "four or eight lanes");
    static_assert(sizeof(F) == W * sizeof(float), "W floats to a vector");
    if constexpr (W == 4) {
        const F t0 = __builtin_shufflevector(v[0], v[1], 0, 4, 1, 5);
        const F t1 = __builtin_shufflevector(v[0], v[1], 2, 6, 3, 7);
        const F t2 = __builtin_shufflevector(v[2], v[3], 0, 4, 1, 5);
        const F t3 = __builtin_shufflevector(v[2], v[3], 2, 6, 3, 7);
        v[0] = __builtin_shufflevector(t0, t2, 0, 1, 4, 5);
        v[1] = __builtin_shufflevector(t0, t2, 2, 3, 6, 7);
        v[2] = __builtin_shufflevector(t1, t3, 0, 1, 4, 5);
        v[3] = __builtin_shufflevector(t1, t3, 2, 3, 6, 7);
    } else {
        F t[8], u[8];
        for (int r = 0; r < 8; r += 2) {
            t[r] = __builtin_shufflevector(v[r], v[r + 1], 0, 8, 1, 9, 4, 12, 5, 13);
            t[r + 1] = __builtin_shufflevector(v[r], v[r + 1], 2, 10, 3, 11, 6, 14, 7, 15);
        }
        for (int r = 0; r < 8; r += 4) {
            u[r] = __builtin_shufflevector(t[r], t[r + 2], 0, 1, 8, 9, 4, 5, 12, 13);
            u[r + 1] = __builtin_shufflevector(t[r], t[r + 2], 2, 3, 10, 11, 6, 7, 14, 15);
            u[r + 2] = __builtin_shufflevector(t[r + 1], t[r + 3], 0, 1, 8, 9, 4, 5, 12, 13);
            u[r + 3] = __builtin_shufflevector(t[r + 1], t[r + 3], 2, 3, 10, 11, 6, 7, 14, 15);
        }
        for (int r = 0; r < 4; ++r) {
            v[r] = __builtin_shufflevector(u[r], u[r + 4], 0, 1, 2, 3, 8, 9, 10, 11);
            v[r + 4] = __builtin_shufflevector(u[r], u[r + 4], 4, 5, 6, 7, 12, 13, 14, 15);
        }
    }
}

// A vector from, or into, floats on no particular boundary, in one move.
template <typename F>
F loadFloats(const float* p) {
    typedef F Unaligned __attribute__((aligned(4), may_alias));
    return *reinterpret_cast<const Unaligned*>(p);
}
template <typename F>
void storeFloats(float* p, F v) {
    typedef F Unaligned __attribute__((aligned(4), may_alias));
    *reinterpret_cast<Unaligned*>(p) = v;
}

} // namespace
} // namespace corvex
