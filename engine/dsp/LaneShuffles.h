// Moves between voice-major blocks and sample-major lane vectors, shared by the lane loops of every
// module. Only moves: no value changes.
#pragma once

namespace corvex {
namespace {

// Turns W vectors of W floats around: element e of vector r becomes element r of vector e.
template <typename F, int W>
__attribute__((always_inline)) inline void transposeSquare(F* v) {
    static_assert(W == 4 || W == 8 || W == 16, "four, eight or sixteen lanes");
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
    } else if constexpr (W == 8) {
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
    } else {
        // As for eight within each group of four floats; then two rounds that move whole groups of four,
        // the widest piece one instruction carries from anywhere in a 512-bit register to anywhere else.
        F t[16], u[16];
        for (int r = 0; r < 16; r += 2) {
            t[r] = __builtin_shufflevector(v[r], v[r + 1], 0, 16, 1, 17, 4, 20, 5, 21, 8, 24, 9, 25, 12, 28, 13, 29);
            t[r + 1] =
                __builtin_shufflevector(v[r], v[r + 1], 2, 18, 3, 19, 6, 22, 7, 23, 10, 26, 11, 27, 14, 30, 15, 31);
        }
        for (int r = 0; r < 16; r += 4) {
            u[r] = __builtin_shufflevector(t[r], t[r + 2], 0, 1, 16, 17, 4, 5, 20, 21, 8, 9, 24, 25, 12, 13, 28, 29);
            u[r + 1] =
                __builtin_shufflevector(t[r], t[r + 2], 2, 3, 18, 19, 6, 7, 22, 23, 10, 11, 26, 27, 14, 15, 30, 31);
            u[r + 2] =
                __builtin_shufflevector(t[r + 1], t[r + 3], 0, 1, 16, 17, 4, 5, 20, 21, 8, 9, 24, 25, 12, 13, 28, 29);
            u[r + 3] =
                __builtin_shufflevector(t[r + 1], t[r + 3], 2, 3, 18, 19, 6, 7, 22, 23, 10, 11, 26, 27, 14, 15, 30, 31);
        }
        // Group g of u[4 * h + m] now holds column 4 * g + m of rows 4 * h .. 4 * h + 3. Taking the even
        // groups into one vector and the odd into another, twice over, brings a column's four groups
        // of rows together in order.
        F w[16];
        for (int h = 0; h < 16; h += 8)
            for (int m = 0; m < 4; ++m) {
                const F a = u[h + m], b = u[h + m + 4];
                w[h + m] = __builtin_shufflevector(a, b, 0, 1, 2, 3, 8, 9, 10, 11, 16, 17, 18, 19, 24, 25, 26, 27);
                w[h + m + 4] =
                    __builtin_shufflevector(a, b, 4, 5, 6, 7, 12, 13, 14, 15, 20, 21, 22, 23, 28, 29, 30, 31);
            }
        for (int s = 0; s < 8; s += 4)
            for (int m = 0; m < 4; ++m) {
                const F a = w[s + m], b = w[s + m + 8];
                v[s + m] = __builtin_shufflevector(a, b, 0, 1, 2, 3, 8, 9, 10, 11, 16, 17, 18, 19, 24, 25, 26, 27);
                v[s + m + 8] =
                    __builtin_shufflevector(a, b, 4, 5, 6, 7, 12, 13, 14, 15, 20, 21, 22, 23, 28, 29, 30, 31);
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
