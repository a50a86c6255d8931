// The voice output stage (type 7): the voice's amplifier, which adds the voice into its part's bus.
#include "engine/modules/types/VoiceOutput.h"

#include <cmath>
#include <cstddef>

#include "engine/dsp/ConversionCurves.h"
#include "engine/dsp/ModuleValues.h"
#include "engine/modules/EchoCodes.h"
#include "engine/modules/ModulationSum.h"
#include "engine/modules/BlockBufferStore.h"
#include "engine/modules/ModulePools.h"

namespace corvex {

static_assert(sizeof(VoiceOutputModule) <= sizeof(VoiceModuleWrapperB), "the voice output comes from pool 2");
static_assert(offsetof(VoiceOutputModule, leftBus) == offsetof(Type7ModuleHead, leftBus) &&
                  offsetof(VoiceOutputModule, rightBus) == offsetof(Type7ModuleHead, rightBus) &&
                  offsetof(VoiceOutputModule, ports) == offsetof(Type7ModuleHead, ports),
              "the voice render and the framework see the stage through Type7ModuleHead");

namespace {

constexpr int kBlockWords = 11;
constexpr int kInputCount = 7;
constexpr float kHeadroom = 0.125f; // several voices at full level sum on one bus without clipping it
constexpr uint32_t kNoConnections[kInputCount] = {};

float levelGainOf(float v) { return decibelsToGain(levelToDecibels(v)); }

// Inputs 0 and 5 read samples; a block-rate source there has none, and counts as unconnected.
const float* samplesOf(const PortEntry* source) { return source ? portBuffer(*source) : nullptr; }

// A modulation sum that overflowed or went NaN silences the voice instead of poisoning the bus.
float blockGain(float level, float depth, float tremolo) {
    const float g = level * (1.0f - 0.5f * (depth - tremolo));
    return (g > 0.0f && std::isfinite(g)) ? g : 0.0f;
}

} // namespace

void initVoiceOutput(void* module, EngineContext*) {
    auto& m = *static_cast<VoiceOutputModule*>(module);
    m.leftBus = nullptr;
    m.rightBus = nullptr;
    m.previousGain = 0.0f;
    m.started = 0;
}

namespace {

// One voice's block into its bus. The copy of the left bus into the right is left to the caller,
// which owes it after every voice whose counts are given and whose stage has both buses.
// `given`, when there is one, holds the voice's modulation sums already worked out. Inlined into the
// voices' loop: it runs for every voice of every block.
[[gnu::always_inline]] inline
void addVoice(VoiceOutputModule& m, const ConnectionDescriptor* descriptors, const PortEntry* const* sources,
              const uint32_t* counts, const float* given) {
    if (descriptors == nullptr || sources == nullptr) counts = kNoConnections;
    uint32_t first[kInputCount];
    uint32_t at = 0;
    for (int i = 0; i < kInputCount; ++i) {
        first[i] = at;
        at += counts[i];
    }

    const float* audio = counts[0] > 0 ? samplesOf(sources[0]) : nullptr;
    const float audioAmount = counts[0] > 0 ? descriptors[0].amount() : 0.0f;
    float* left = m.leftBus;
    if (audio != nullptr && audioAmount != 0.0f) {
        float own[3]; // inputs 2, 3, 4
        const float* mod = given;
        if (mod == nullptr) {
            sumBlockModulation(descriptors + first[2], sources + first[2], counts + 2, 3, own);
            mod = own;
        }
        // Without a tremolo connection there is no depth, so the envelope level passes unchanged;
        // without a level connection the sum is 0 and the voice is silent.
        const float depth = counts[2] > 0 ? descriptors[first[2] + counts[2] - 1].amount() : 0.0f;
        const float gain = blockGain(mod[2], depth, mod[0]);
        // The first block only latches the gain: a voice enters at the level it is meant to have,
        // and the ramp from the next block on starts there.
        if (m.started != 0 && left != nullptr) {
            const float* gainSamples = counts[5] > 0 ? samplesOf(sources[first[5]]) : nullptr;
            const float scale = (m.head.record ? m.head.record->as<VoiceOutputParams>().levelGain : 0.0f) * kHeadroom;
            const float previous = m.previousGain;
            if (gainSamples != nullptr) {
                const float gainAmount = descriptors[first[5]].amount();
                for (int i = 0; i < kBlockFrames; ++i) {
                    const float w = float(i) * (1.0f / float(kBlockFrames));
                    const float g = (w * gain + (1.0f - w) * previous + gainSamples[i] * gainAmount) * scale;
                    left[i] += audio[i] * audioAmount * g;
                }
            } else {
                for (int i = 0; i < kBlockFrames; ++i) {
                    const float w = float(i) * (1.0f / float(kBlockFrames));
                    const float g = (w * gain + (1.0f - w) * previous + 0.0f) * scale;
                    left[i] += audio[i] * audioAmount * g;
                }
            }
        }
        m.previousGain = gain;
    }
    m.started = 1;
}

void copyBus(const float* left, float* right) {
    for (int i = 0; i < kBlockFrames; ++i) right[i] = left[i];
}

} // namespace

void processVoiceOutput(void* module, const ConnectionDescriptor* descriptors, const PortEntry* const* sources,
                        const uint32_t* counts) {
    processVoiceOutputs(&module, 1, descriptors, &sources, counts);
}

void processVoiceOutputs(void* const* modules, int count, const ConnectionDescriptor* descriptors,
                         const PortEntry* const* const* sources, const uint32_t* counts) {
    if (counts == nullptr) return;
    // The right bus only ever takes a copy of the left: voice after voice into the same pair, the
    // last copy is the one that stays, so it is made once, after the last of them.
    float* copyFrom = nullptr;
    float* copyTo = nullptr;
    float sums[kVoicesPerModulationSum][3];
    const uint32_t modulated = counts[0] + counts[1]; // where inputs 2, 3 and 4 start
    bool wired = false;
    for (int v = 0; v < count; ++v) {
        auto& m = *static_cast<VoiceOutputModule*>(modules[v]);
        if (copyTo != nullptr && (m.leftBus != copyFrom || m.rightBus != copyTo)) {
            copyBus(copyFrom, copyTo);
            copyTo = nullptr;
        }
        // The voices' modulation sums, a run at a time: they share their connections' scales.
        if (v % kVoicesPerModulationSum == 0) {
            const int n = count - v < kVoicesPerModulationSum ? count - v : kVoicesPerModulationSum;
            wired = descriptors != nullptr;
            for (int k = 0; k < n; ++k) wired = wired && sources[v + k] != nullptr;
            if (wired)
                sumBlockModulationOfVoices(descriptors + modulated, sources + v, modulated, n, counts + 2, 3,
                                           &sums[0][0]);
        }
        addVoice(m, descriptors, sources[v], counts, wired ? sums[v % kVoicesPerModulationSum] : nullptr);
        if (m.leftBus != nullptr && m.rightBus != nullptr) {
            copyFrom = m.leftBus;
            copyTo = m.rightBus;
        }
    }
    if (copyTo != nullptr) copyBus(copyFrom, copyTo);
}

void loadVoiceOutputBlock(const uint16_t* data, int wordCount, ParameterRecord* record, EngineContext*) {
    if (data == nullptr || record == nullptr || wordCount < kBlockWords) return;
    auto word = [data](int j) { return int16_t(data[j + 2]); };
    VoiceOutputParams& p = record->as<VoiceOutputParams>();
    p.stateWord = word(3);
    p.levelGain = levelGainOf(wordValue(word(7)));
    p.spare8 = word(8);
    p.spare9 = wordValue(word(9));
    p.spare10 = word(10);
}

void setVoiceOutputParameter(int16_t value, int parameter, float* echoValue, int* echoCode, ParameterRecord* record,
                             EngineContext*) {
    if (record == nullptr) return;
    VoiceOutputParams& p = record->as<VoiceOutputParams>();
    const float v = wordValue(value);
    float echo = 0.0f;
    int code = echo::Decibels;
    switch (parameter) {
    case 3: echo = float(uint32_t(p.stateWord)); code = echo::Selection; break;
    case 7: p.levelGain = levelGainOf(v); echo = levelToDecibels(v); code = echo::Decibels; break;
    case 8: p.spare8 = value / 16384; echo = float(p.spare8); code = echo::Switch; break;
    case 9: p.spare9 = v; echo = v; code = echo::Percent; break;
    case 10: p.spare10 = value; echo = float(value); code = echo::Switch; break;
    default: return;
    }
    if (echoValue) *echoValue = echo;
    if (echoCode) *echoCode = code;
}

} // namespace corvex
