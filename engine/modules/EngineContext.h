// The per-kernel values every module reads: rate and its derived values, tempo, detune, tuning, shared tables.
#pragma once

#include <cstdint>

#include "engine/modules/KernelClock.h"

namespace corvex {

struct BlockBufferStore;
struct ModulePools;
class KernelBase;

// Modules cannot name the kernel (it sits a layer above them), so the kernel hands them this
// function for their data records: it reserves a record of `size` payload bytes about the module
// of (section, group, type, instance) and answers the payload, or null when the record is dropped.
using ModuleDataReserver = uint8_t* (*)(KernelBase* kernel, int section, int group, int type, int instance,
                                        int writerByte, int size);

// The rate the effects were voiced at: their lengths, rates and coefficients are written for it.
constexpr double kReferenceRate = 44100.0;

constexpr int kSpreadTableASize = 41; // one value per module slot
constexpr int kSpreadTableBSize = 32; // one value per voice

extern const float kSpreadTableA[kSpreadTableASize];
extern const float kSpreadTableB[kSpreadTableBSize];

struct EngineContext {
    BlockBufferStore* store = nullptr;
    int64_t blockStartStamp = 0;
    int64_t counterFrequency = 1;
    KernelBase* kernel = nullptr;
    ModuleDataReserver reserveModuleData = nullptr;
    float sampleRate = 44100.0f;
    float inverseRate = 1.0f / 44100.0f;
    float doubleRate = 88200.0f;
    float inverseDoubleRate = 1.0f / 88200.0f;
    float ratePerMillisecond = 44.1f;
    float millisecondsPerSample = 1000.0f / 44100.0f;
    float tempo = 120.0f;
    float blockFrames = 32.0f;
    float inverseBlockFrames = 0.03125f;
    float blockPeriod = 32.0f / 44100.0f;
    // A length in samples at the reference rate times `referenceRatio` lasts as long here; a step per
    // sample or per block times `inverseReferenceRatio` moves as fast. Both are exactly 1 at 44.1 kHz,
    // so scaling by them leaves that rate's sound bit for bit as it was.
    double referenceRatio = 1.0;
    double inverseReferenceRatio = 1.0;
    float detuneAmount = 0.0f;
    const float* spreadA = kSpreadTableA;
    const float* spreadB = kSpreadTableB;
    float tuning = 440.0f;
    int32_t integerSwitch = 1;

    ModulePools* pools = nullptr;
    const KernelClock* clock = nullptr;
    KernelRandom random;

    void setSampleRate(double rate);
    void stampBlockStart() { blockStartStamp = clock ? clock->ticks() : 0; }
};

} // namespace corvex
