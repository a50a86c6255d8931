// The insert ring modulator (type 13): the signal times an inner sine, or times a second signal.
#include "engine/modules/types/RingModulator.h"

#include <cmath>
#include <cstddef>

#include "engine/dsp/ConnectionDescriptor.h"
#include "engine/dsp/ConversionCurves.h"
#include "engine/dsp/ModuleValues.h"
#include "engine/dsp/SampleGuards.h"
#include "engine/modules/BlockBufferStore.h"
#include "engine/modules/BlockSignals.h"
#include "engine/modules/EchoCodes.h"
#include "engine/modules/EngineContext.h"
#include "engine/modules/ModulationSum.h"
#include "engine/modules/ModulePools.h"
#include "engine/modules/types/EffectTail.h"

namespace corvex {

static_assert(sizeof(RingModulatorModule) <= sizeof(VoiceModuleWrapperC), "the ring modulator comes from pool 3");
static_assert(offsetof(RingModulatorModule, ports) == offsetof(PortedModule, ports),
              "the framework finds the port where every ported module keeps it");

namespace {

// Hz and carrier offset at word values 0.0, 0.1, ..., 1.0.
constexpr float kFrequencyCurve[11] = {0.01f, 0.5f, 3.0f, 30.0f, 90.0f, 300.0f,
                                       600.0f, 1200.0f, 2000.0f, 2700.0f, 3000.0f};
constexpr float kOffsetCurve[11] = {1.6f, 1.5f, 1.3f, 1.0f, 0.9f, 0.7f, 0.5f, 0.3f, 0.2f, 0.1f, 0.01f};

constexpr int kBlockWords = 18;
constexpr float kHighestFrequency = 3000.0f;
constexpr float kFrequencySemitones = 48.0f; // per unit of frequency modulation
constexpr float kOffsetSemitones = 30.0f;    // per unit of offset modulation
constexpr double kHighPassDecades = 208.0;
// No real signal comes near these; a broken one is held here so that no product can overflow.
constexpr float kLoudestInput = 1e12f;

float heldInput(float v) {
    if (v != v) return 0.0f;
    return v > kLoudestInput ? kLoudestInput : (v < -kLoudestInput ? -kLoudestInput : v);
}

constexpr EffectTail kTail{15, 16, 17, echo::Fraction, true};

bool store(RingModulatorParams& p, int parameter, int16_t word, float& echo, int& code) {
    switch (parameter) {
    case 3:
        p.mode = word;
        echo = float(word);
        code = echo::Selection;
        return true;
    case 7:
        p.frequency = tenSegmentLookup(word, kFrequencyCurve);
        echo = p.frequency;
        code = echo::Hertz;
        return true;
    case 8:
        p.offset = tenSegmentLookup(word, kOffsetCurve);
        echo = p.offset;
        code = echo::Fraction;
        return true;
    case 14:
        p.spare14 = word;
        echo = float(word);
        code = echo::Switch;
        return true;
    default:
        return storeEffectTail(kTail, {&p.mix, &p.outputGain, &p.bypass, &p.outputDecibels}, parameter, word, echo,
                               code);
    }
}

// The first audio-rate connection of an input, or null.
const float* firstSignal(const PortEntry* const* sources, uint32_t first, uint32_t count) {
    return count > 0 && sources[first] != nullptr ? portBuffer(*sources[first]) : nullptr;
}

void multiplySignals(const RingModulatorParams& p, const float* x, float xAmount, const float* y, float yAmount,
                     float* out) {
    const double mix = p.mix;
    for (int n = 0; n < kBlockFrames; ++n) {
        const double a = double(heldInput(x[n])) * xAmount;
        const double b = double(heldInput(y[n])) * yAmount;
        out[n] = clampedSample(mix * a * b + (1.0 - mix) * a);
    }
}

void modulateBySine(RingModulatorModule& m, const RingModulatorParams& p, const float* x, float xAmount,
                    const float* sums, float* out) {
    const EngineContext* context = m.head.context;
    const float rate = context != nullptr && context->sampleRate > 0.0f ? context->sampleRate : 44100.0f;
    float f = p.frequency * semitonesToRatio(kFrequencySemitones * sums[0]);
    if (!(f <= kHighestFrequency)) f = kHighestFrequency;
    m.frequency = f;
    m.offset = p.offset * semitonesToRatio(kOffsetSemitones * sums[1]);
    const double step = 2.0 * std::sin(kPi * double(f) / double(rate));
    const double bias = 0.2 - double(m.offset);
    const double wet = p.bypass == 1 ? 0.0 : double(p.mix);
    const double gain = p.outputGain;
    const double a = m.highPassPole, b = m.highPassInput;
    double s = m.sine, c = m.cosine, low = m.lowPass;
    for (int n = 0; n < kBlockFrames; ++n) {
        const double signal = double(heldInput(x[n]) * xAmount);
        s -= step * c;
        c += step * s;
        const double product = 0.6 * signal * (1.4 * c + bias);
        low = a * low + b * product;
        out[n] = clampedSample(gain * (wet * (product - low) + (1.0 - wet) * signal));
    }
    m.sine = s;
    m.cosine = c;
    m.lowPass = flushed(low);
}

} // namespace

void initRingModulator(void* module, EngineContext* context) {
    auto& m = *static_cast<RingModulatorModule*>(module);
    m.sine = 1.0;
    m.cosine = 0.0;
    const double rate = context != nullptr && context->sampleRate > 0.0f ? context->sampleRate : 44100.0;
    m.highPassPole = std::pow(10.0, -kHighPassDecades / rate);
    m.highPassInput = 1.0 - m.highPassPole;
    m.lowPass = 0.0;
    m.frequency = 0.0f;
    m.offset = 0.0f;
}

void processRingModulator(void* module, const ConnectionDescriptor* descriptors, const PortEntry* const* sources,
                          const uint32_t* counts) {
    auto& m = *static_cast<RingModulatorModule*>(module);
    float* out = portBuffer(m.ports[0]);
    if (out == nullptr || m.head.record == nullptr) return;
    uint32_t first[RingModulatorInput::Count] = {};
    if (counts != nullptr && descriptors != nullptr && sources != nullptr)
        for (int i = 1; i < RingModulatorInput::Count; ++i) first[i] = first[i - 1] + counts[i - 1];
    const float* x = counts != nullptr && descriptors != nullptr && sources != nullptr
                         ? firstSignal(sources, first[RingModulatorInput::Signal], counts[RingModulatorInput::Signal])
                         : nullptr;
    // A skipped block would leave the last block in the buffer, repeating as a buzz: silence instead.
    if (x == nullptr) {
        silence(out);
        return;
    }
    const RingModulatorParams& p = m.head.record->as<RingModulatorParams>();
    const float xAmount = descriptors[first[RingModulatorInput::Signal]].amount();
    const uint32_t at = first[RingModulatorInput::Frequency];
    float sums[3];
    sumBlockModulation(descriptors + at, sources + at, counts + RingModulatorInput::Frequency, 3, sums);

    const float* y = firstSignal(sources, first[RingModulatorInput::Second], counts[RingModulatorInput::Second]);
    if (y != nullptr)
        multiplySignals(p, x, xAmount, y, descriptors[first[RingModulatorInput::Second]].amount(), out);
    else
        modulateBySine(m, p, x, xAmount, sums, out);
}

void loadRingModulatorBlock(const uint16_t* data, int wordCount, ParameterRecord* record, EngineContext*) {
    if (data == nullptr || record == nullptr || wordCount < kBlockWords) return;
    RingModulatorParams& p = record->as<RingModulatorParams>();
    float echo = 0.0f;
    int code = echo::Decibels;
    for (const int j : {3, 7, 8, 14, 15, 16, 17}) store(p, j, int16_t(data[j + 2]), echo, code);
}

void setRingModulatorParameter(int16_t value, int parameter, float* echoValue, int* echoCode,
                               ParameterRecord* record, EngineContext*) {
    if (record == nullptr) return;
    float echo = 0.0f;
    int code = echo::Decibels;
    if (!store(record->as<RingModulatorParams>(), parameter, value, echo, code)) return;
    if (echoValue) *echoValue = echo;
    if (echoCode) *echoCode = code;
}

} // namespace corvex
