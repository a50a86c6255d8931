// The settings every effect ends its block with: its wet share, its output level and its bypass switch.
#pragma once

#include <cstdint>

#include "engine/modules/EchoCodes.h"

namespace corvex {

// Which parameter sets each of an effect's shared settings, and how it reports them.
struct EffectTail {
    static constexpr int kNone = -1; // the effect keeps this setting elsewhere, or its own way

    int mixParameter;
    int outputParameter;
    int bypassParameter;
    echo::Code mixEcho = echo::Fraction;
    // The level's decibels are kept beside the gain, and a gain that small is stored as silence.
    bool keepsDecibels = false;
};

// Where an effect's parameter record holds them; a setting the tail does not handle may be null.
struct EffectTailFields {
    float* mix;
    float* outputGain;
    int32_t* bypass;
    float* outputDecibels = nullptr;
};

// Stores the word if the parameter is one of the tail's; false for any other.
bool storeEffectTail(const EffectTail& tail, const EffectTailFields& fields, int parameter, int16_t word,
                     float& echo, int& code);

} // namespace corvex
