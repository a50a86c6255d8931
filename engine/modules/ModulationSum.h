// Block-rate sum of the modulation reaching a module's inputs, with per-connection curve and range.
#pragma once

#include <cstdint>

#include "engine/dsp/ConnectionDescriptor.h"
#include "engine/modules/ModulePort.h"

namespace corvex {

constexpr int kModulationRangeCount = 13;

// Scale of one unit of modulation at each destination kind (semitones, percent, ...).
inline constexpr float ModulationRangeTable[kModulationRangeCount] = {
    1.0f, 7.0f, 9.0f, 48.0f, 72.4f, 100.0f, 108.0f,
    11.9f, 35.99f, 27.1f, 24.0f, 0.34481f, 56.1f,
};

constexpr int kAmountCurveCount = 16;
constexpr int kAmountCurvePoints = 7;

// Point k of a curve belongs to amount k/6. Curve 0 is never applied; it keeps the row so that
// every value of the 4-bit curve field indexes the table.
inline constexpr float AmountCurveTable[kAmountCurveCount][kAmountCurvePoints] = {
    {0.0f, 0.047f, 0.269f, 0.51f, 0.735f, 0.947f, 1.0f},
    {0.0f, 0.047f, 0.269f, 0.51f, 0.735f, 0.947f, 1.0f},
    {0.0f, 0.0833f, 0.125f, 0.25f, 0.33333f, 0.66666f, 1.0f},
    {0.0f, 0.0637f, 0.2808f, 0.4996f, 0.7243f, 0.9431f, 1.0f},
    {0.0f, 0.0833f, 0.27778f, 0.44444f, 0.66667f, 0.916667f, 1.0f},
    {0.0f, 0.047f, 0.269f, 0.51f, 0.735f, 0.947f, 1.0f},
    {0.0f, 0.047f, 0.269f, 0.51f, 0.735f, 0.947f, 1.0f},
    {0.0f, 0.047f, 0.269f, 0.51f, 0.735f, 0.947f, 1.0f},
    {0.0f, 0.047f, 0.269f, 0.51f, 0.735f, 0.947f, 1.0f},
    {0.0f, 0.047f, 0.269f, 0.51f, 0.735f, 0.947f, 1.0f},
    {0.0f, 0.047f, 0.269f, 0.51f, 0.735f, 0.947f, 1.0f},
    {0.0f, 0.047f, 0.269f, 0.51f, 0.735f, 0.947f, 1.0f},
    {0.0f, 0.047f, 0.269f, 0.51f, 0.735f, 0.947f, 1.0f},
    {0.0f, 0.047f, 0.269f, 0.51f, 0.735f, 0.947f, 1.0f},
    {0.0f, 0.047f, 0.269f, 0.51f, 0.735f, 0.947f, 1.0f},
    {-1.0f, -0.666f, -0.333f, 0.0f, 0.333f, 0.666f, 1.0f},
};

// Writes one sum per input into out[0 .. inputCount-1] from the block-rate sources only;
// audio-rate sources are left to the module. descriptors and sources hold the connections of
// all inputs back to back in input order. Returns the number of connections of all inputs,
// audio-rate ones included; a null counts table means no input is wired. `sampled`, when given, gets
// bit i set when input i has a source with samples.
int sumBlockModulation(const ConnectionDescriptor* descriptors, const PortEntry* const* sources,
                       const uint32_t* counts, int inputCount, float* out, uint32_t* sampled = nullptr);

// The most voices one call of sumBlockModulationOfVoices takes.
constexpr int kVoicesPerModulationSum = 32;

// The same sums for up to kVoicesPerModulationSum voices of one slot, whose connections share the
// descriptors while each voice binds them to its own sources (sources[v] + first, in the order of
// the descriptors). Voice v's sums land in out[v * inputCount ..], each the value
// sumBlockModulation gives that voice alone; a connection's scale is found once for all voices.
// `sampled`, when given, gets voice v's bits in sampled[v].
void sumBlockModulationOfVoices(const ConnectionDescriptor* descriptors, const PortEntry* const* const* sources,
                                uint32_t first, int voices, const uint32_t* counts, int inputCount, float* out,
                                uint32_t* sampled = nullptr);

} // namespace corvex
