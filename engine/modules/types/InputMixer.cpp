// The voice's input mixer (type 9): up to five signals, each with its own level of up to +20 dB.
#include "engine/modules/types/InputMixer.h"

#include <cstddef>

#include "engine/dsp/ConnectionDescriptor.h"
#include "engine/dsp/ConversionCurves.h"
#include "engine/dsp/ModuleValues.h"
#include "engine/modules/BlockBufferStore.h"
#include "engine/modules/EchoCodes.h"
#include "engine/modules/ModulePools.h"

namespace corvex {

static_assert(sizeof(InputMixerModule) <= sizeof(VoiceModuleWrapperA), "the mixer comes from pool 1");
static_assert(offsetof(InputMixerModule, ports) == offsetof(PortedModule, ports),
              "the framework finds the port where every ported module keeps it");

namespace {

// Twenty points over 0 .. 1: a tenth-step ramp up to unity at 10/19, then whole steps to 10.
constexpr float kGainCurve[] = {0.0001f, 0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f, 0.7f, 0.8f, 0.9f,
                                1.0f,    2.0f, 3.0f, 4.0f, 5.0f, 6.0f, 7.0f, 8.0f, 9.0f, 10.0f};
constexpr int kPoints = int(sizeof(kGainCurve) / sizeof(kGainCurve[0]));
constexpr int kBlockWords = 12;

} // namespace

float mixerLevelGain(float x) {
    if (x >= 1.0f) return kGainCurve[kPoints - 1];
    if (!(x >= 0.0f)) return kGainCurve[0];
    const float t = float(kPoints - 1) * x;
    int i = int(t);
    if (i > kPoints - 2) i = kPoints - 2;
    const float f = t - float(i);
    return (1.0f - f) * kGainCurve[i] + f * kGainCurve[i + 1];
}

void initInputMixer(void* module, EngineContext*) {
    auto& m = *static_cast<InputMixerModule*>(module);
    for (float& s : m.spare) s = 0.0f;
}

void processInputMixer(void* module, const ConnectionDescriptor* descriptors, const PortEntry* const* sources,
                       const uint32_t* counts) {
    auto& m = *static_cast<InputMixerModule*>(module);
    float* out = portBuffer(m.ports[0]);
    if (out == nullptr) return;
    for (int n = 0; n < kBlockFrames; ++n) out[n] = 0.0f;
    if (counts == nullptr || descriptors == nullptr || sources == nullptr || m.head.record == nullptr) return;
    const InputMixerParams& p = m.head.record->as<InputMixerParams>();

    uint32_t k = 0;
    for (int input = 0; input < kMixerInputs; ++input) {
        const float levelGain = mixerLevelGain(p.level[input]);
        // Every connection into an input is mixed: a second source is added, never dropped.
        for (const uint32_t end = k + counts[input]; k < end; ++k) {
            const float g = descriptors[k].amount() * levelGain;
            if (g == 0.0f) continue;
            const float* in = sources[k] ? portBuffer(*sources[k]) : nullptr;
            if (in == nullptr) continue; // a block-rate source has no samples to mix
            for (int n = 0; n < kBlockFrames; ++n) out[n] += g * in[n];
        }
    }
}

void loadInputMixerBlock(const uint16_t* data, int wordCount, ParameterRecord* record, EngineContext*) {
    if (data == nullptr || record == nullptr || wordCount < kBlockWords) return;
    InputMixerParams& p = record->as<InputMixerParams>();
    for (int i = 0; i < kMixerInputs; ++i) p.level[i] = wordValue(int16_t(data[7 + i + 2]));
}

void setInputMixerParameter(int16_t value, int parameter, float* echoValue, int* echoCode, ParameterRecord* record,
                            EngineContext*) {
    if (record == nullptr) return;
    InputMixerParams& p = record->as<InputMixerParams>();
    float echo = 0.0f;
    int code = echo::Decibels;
    if (parameter == 3) {
        p.mode = value;
        echo = float(value);
        code = echo::Selection;
    } else if (parameter >= 7 && parameter < 7 + kMixerInputs) {
        const float x = wordValue(value);
        p.level[parameter - 7] = x;
        // The echo shows the shared level curve, as every level control does, while the mix applies
        // its own: a full level reads +12 dB and sounds +20 dB.
        echo = levelToDecibels(x);
        code = echo::Decibels;
    } else {
        return;
    }
    if (echoValue) *echoValue = echo;
    if (echoCode) *echoCode = code;
}

} // namespace corvex
