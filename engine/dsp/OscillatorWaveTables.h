// The four 256-step waves that every block-rate LFO of the engine reads with its 32-bit phase.
#pragma once

#include <cstdint>

namespace corvex {

struct OscillatorWaveTables {
    // Entry 256 is a guard, so that index + 1 never leaves the table.
    static constexpr int kSize = 257;

    // By wave value: 0 sawtooth, 1 square, 2 sine, 3 triangle.
    static constexpr int kShapeCount = 4;
    float waves[kShapeCount][kSize];

    // nullptr for a wave value outside 0..3.
    const float* wave(int shape) const {
        return (shape >= 0 && shape < kShapeCount) ? waves[shape] : nullptr;
    }

    // The top 8 bits of the phase pick the entry, the low 24 bits interpolate towards the next.
    static float read(const float* table, uint32_t phase) {
        const uint32_t index = phase >> 24;
        const float fraction = static_cast<float>(phase & 0xFFFFFFu) * (1.0f / 16777216.0f);
        return (1.0f - fraction) * table[index] + fraction * table[index + 1];
    }
};

// Built when the program starts, before any kernel exists; never written afterwards.
const OscillatorWaveTables& oscillatorWaveTables();

} // namespace corvex
