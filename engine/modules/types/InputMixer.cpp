// The voice's input mixer (type 9): up to five signals, each with its own level of up to +20 dB.
#include "engine/modules/types/InputMixer.h"

#include <cstddef>

#include "engine/dsp/ConnectionDescriptor.h"
#include "engine/dsp/ConversionCurves.h"
#include "engine/dsp/ModuleValues.h"
#include "engine/modules/BlockBufferStore.h"
#include "engine/modules/ConnectionRecord.h"
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

namespace {

// One signal into the mix: its samples and the gain they are added with.
struct MixTerm {
    const float* in;
    float gain;
};

// The terms of every input in connection order, each with its amount times its input's level.
// Connections whose gain is 0 or whose source has no samples add nothing and are left out.
int gatherTerms(const float* connectionGains, const PortEntry* const* sources, uint32_t connections,
                MixTerm* terms) {
    int n = 0;
    for (uint32_t k = 0; k < connections; ++k) {
        if (connectionGains[k] == 0.0f) continue;
        const float* in = sources[k] ? portBuffer(*sources[k]) : nullptr;
        if (in == nullptr) continue; // a block-rate source has no samples to mix
        terms[n++] = {in, connectionGains[k]};
    }
    return n;
}

// Up to three terms in one pass over the output: each sample still adds its terms in order, from 0.
template <int N>
void mixFromSilence(float* __restrict out, const MixTerm* terms) {
    const float* __restrict a = terms[0].in;
    const float ga = terms[0].gain;
    const float* __restrict b = N > 1 ? terms[1].in : a;
    const float gb = N > 1 ? terms[1].gain : 0.0f;
    const float* __restrict c = N > 2 ? terms[2].in : a;
    const float gc = N > 2 ? terms[2].gain : 0.0f;
    for (int i = 0; i < kBlockFrames; ++i) {
        float s = 0.0f + ga * a[i];
        if (N > 1) s += gb * b[i];
        if (N > 2) s += gc * c[i];
        out[i] = s;
    }
}

void mixTerms(float* out, const MixTerm* terms, int n) {
    for (int t = 0; t < n; ++t) {
        if (terms[t].in != out) continue;
        // A mixer reading its own output reads what the mix has so far: term after term, in place.
        for (int i = 0; i < kBlockFrames; ++i) out[i] = 0.0f;
        for (int u = 0; u < n; ++u)
            for (int i = 0; i < kBlockFrames; ++i) out[i] += terms[u].gain * terms[u].in[i];
        return;
    }
    switch (n) {
    case 0:
        for (int i = 0; i < kBlockFrames; ++i) out[i] = 0.0f;
        return;
    case 1: mixFromSilence<1>(out, terms); return;
    case 2: mixFromSilence<2>(out, terms); return;
    default: mixFromSilence<3>(out, terms); break;
    }
    for (int t = 3; t < n; ++t) {
        const float* __restrict in = terms[t].in;
        const float g = terms[t].gain;
        float* __restrict o = out;
        for (int i = 0; i < kBlockFrames; ++i) o[i] += g * in[i];
    }
}

// The gain of every connection: its amount times the level of the input it feeds.
uint32_t connectionGains(const InputMixerParams& p, const ConnectionDescriptor* descriptors, const uint32_t* counts,
                         float* gains) {
    uint32_t k = 0;
    for (int input = 0; input < kMixerInputs; ++input) {
        if (counts[input] == 0) continue;
        const float levelGain = mixerLevelGain(p.level[input]);
        // Every connection into an input is mixed: a second source is added, never dropped.
        for (const uint32_t end = k + counts[input]; k < end; ++k) gains[k] = descriptors[k].amount() * levelGain;
    }
    return k;
}

// A part's list holds no more connections than this; a longer table is mixed connection by connection.
constexpr uint32_t kMostConnections = uint32_t(kMaxConnections);

bool connectionsFit(const uint32_t* counts) {
    uint32_t total = 0;
    for (int input = 0; input < kMixerInputs; ++input) total += counts[input];
    return total <= kMostConnections;
}

void mixConnectionByConnection(const InputMixerParams& p, const ConnectionDescriptor* descriptors,
                               const PortEntry* const* sources, const uint32_t* counts, float* out) {
    for (int i = 0; i < kBlockFrames; ++i) out[i] = 0.0f;
    uint32_t k = 0;
    for (int input = 0; input < kMixerInputs; ++input) {
        const float levelGain = mixerLevelGain(p.level[input]);
        for (const uint32_t end = k + counts[input]; k < end; ++k) {
            const float g = descriptors[k].amount() * levelGain;
            const float* in = sources[k] ? portBuffer(*sources[k]) : nullptr;
            if (g == 0.0f || in == nullptr) continue;
            for (int i = 0; i < kBlockFrames; ++i) out[i] += g * in[i];
        }
    }
}

} // namespace

void processInputMixer(void* module, const ConnectionDescriptor* descriptors, const PortEntry* const* sources,
                       const uint32_t* counts) {
    processInputMixers(&module, 1, descriptors, &sources, counts);
}

void processInputMixers(void* const* modules, int count, const ConnectionDescriptor* descriptors,
                        const PortEntry* const* const* sources, const uint32_t* counts) {
    const bool wired = counts != nullptr && descriptors != nullptr && sources != nullptr;
    const bool fit = wired && connectionsFit(counts);
    float gains[kMostConnections];
    MixTerm terms[kMostConnections];
    const ParameterRecord* gainsOf = nullptr;
    uint32_t connections = 0;
    for (int v = 0; v < count; ++v) {
        auto& m = *static_cast<InputMixerModule*>(modules[v]);
        float* out = portBuffer(m.ports[0]);
        if (out == nullptr) continue;
        if (!wired || m.head.record == nullptr || sources[v] == nullptr) {
            for (int i = 0; i < kBlockFrames; ++i) out[i] = 0.0f;
            continue;
        }
        if (!fit) {
            mixConnectionByConnection(m.head.record->as<InputMixerParams>(), descriptors, sources[v], counts, out);
            continue;
        }
        // The voices of a part share one record: its gains are worked out once.
        if (m.head.record != gainsOf) {
            connections = connectionGains(m.head.record->as<InputMixerParams>(), descriptors, counts, gains);
            gainsOf = m.head.record;
        }
        mixTerms(out, terms, gatherTerms(gains, sources[v], connections, terms));
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
