// The parametric equaliser (type 34): low shelf, two peaks and high shelf in series, mixed with the dry signal.
#include "engine/modules/types/ParametricEq.h"

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
#include "engine/modules/types/ParametricEqCoefficients.h"

namespace corvex {

static_assert(sizeof(ParametricEqModule) <= sizeof(VoiceModuleWrapperC), "the equaliser comes from pool 3");
static_assert(offsetof(ParametricEqModule, ports) == offsetof(PortedModule, ports),
              "the framework finds the ports where every ported module keeps them");

namespace {

constexpr int kBlockWords = 25;
constexpr int kFirstBandParameter = 7;
constexpr int kFirstSwitchParameter = 17;
constexpr int kModulationInputs = EqValue::Count;

// Hz at x = 0, 0.1, ..., 1.
constexpr float kBandFrequencyPoints[] = {20.0f,   50.0f,   100.0f,   500.0f,   1000.0f,  3500.0f,
                                          7000.0f, 12000.0f, 15000.0f, 18000.0f, 20000.0f};
// Q at x = 0, 0.2, ..., 1.
constexpr float kQPoints[] = {1.0f, 2.0f, 4.0f, 8.0f, 16.0f, 20.0f};

// Linear gain at x = i / 18: tenths up to unity at the middle, then whole steps up to 10.
struct GainPoints {
    float values[19];
};
constexpr GainPoints makeGainPoints() {
    GainPoints g{};
    for (int i = 0; i < 19; ++i) g.values[i] = i < 10 ? 0.1f * float(i + 1) : float(i - 8);
    return g;
}
constexpr GainPoints kGainPoints = makeGainPoints();

constexpr float kGlide = 0.0436965f; // per 44.1 kHz block
constexpr float kLowestFrequency = 20.0f;
constexpr float kHighestFrequency = 20000.0f;
constexpr float kSemitonesPerUnit = 100.0f;
// A modulated section stays a filter: a Q of 0 divides by zero, a negative one turns the poles
// unstable, and a gain past these bounds only ever comes from a runaway modulation sum.
constexpr float kLowestQ = 0.1f;
constexpr float kHighestQ = 100.0f;
constexpr float kGainLimitDb = 60.0f;

void clearHistories(ParametricEqModule& m) {
    for (EqHistory& h : m.history) h = EqHistory{0.0, 0.0, 0.0, 0.0};
}

// Decaying tails are cut before they reach the slow denormal range; a section that ran away
// (only a broken input can do that to a stable filter) starts again from rest.
void settleHistories(ParametricEqModule& m) {
    for (EqHistory& h : m.history) {
        if (!(withinRange(h.input1) && withinRange(h.input2) && withinRange(h.output1) && withinRange(h.output2))) {
            clearHistories(m);
            return;
        }
        h = EqHistory{flushed(h.input1), flushed(h.input2), flushed(h.output1), flushed(h.output2)};
    }
}

// Frequencies follow the modulation in semitones; peak 1, peak 2 and the high shelf glide there, as
// fast in time at every rate. Below 44.1 kHz the highest band would pass half the rate, where the
// pre-warped sections turn unstable: it is held as far below it as 20 kHz is at 44.1 kHz.
void updateBands(ParametricEqModule& m, const ParametricEqParams& p, const float* mod, const EngineContext& context) {
    using namespace EqValue;
    float* c = m.current;
    const float glide = kGlide * float(context.inverseReferenceRatio);
    const float highest = context.referenceRatio < 1.0 ? kHighestFrequency * float(context.referenceRatio)
                                                       : kHighestFrequency;
    c[LowCutoff] = p.band[LowCutoff] * semitonesToRatio(kSemitonesPerUnit * mod[LowCutoff]);
    for (const int band : {Peak1Frequency, Peak2Frequency, HighCutoff}) {
        const float target = p.band[band] * semitonesToRatio(kSemitonesPerUnit * mod[band]);
        c[band] -= (c[band] - target) * glide;
    }
    for (const int band : {LowCutoff, Peak1Frequency, Peak2Frequency, HighCutoff})
        c[band] = heldWithin(c[band], kLowestFrequency, highest);
    for (const int band : {LowGain, Peak1Gain, Peak2Gain, HighGain})
        c[band] = heldWithin((mod[band] + 1.0f) * p.band[band], -kGainLimitDb, kGainLimitDb);
    for (const int band : {Peak1Q, Peak2Q}) c[band] = heldWithin((mod[band] + 1.0f) * p.band[band], kLowestQ, kHighestQ);
}

constexpr EffectTail kTail{21, 23, 24};

bool storeParameter(ParametricEqParams& p, int parameter, int16_t word, float* echo, int* code) {
    const float x = wordValue(word);
    const int band = parameter - kFirstBandParameter;
    switch (parameter) {
    case 7: case 9: case 12: case 15:
        p.band[band] = eqBandFrequency(x);
        *echo = p.band[band]; *code = echo::Hertz; return true;
    case 8: case 10: case 13: case 16:
        p.band[band] = eqGainDecibels(x);
        *echo = p.band[band]; *code = echo::Decibels; return true;
    case 11: case 14:
        p.band[band] = eqQ(x);
        *echo = x; *code = echo::Fraction; return true;
    case 17: case 18: case 19: case 20:
        p.on[parameter - kFirstSwitchParameter] = word;
        *echo = float(word); *code = echo::Switch; return true;
    case 22:
        p.spare22 = word;
        *echo = float(word); *code = echo::Selection; return true;
    default:
        return storeEffectTail(kTail, {&p.mix, &p.outputGain, &p.bypass}, parameter, word, *echo, *code);
    }
}

} // namespace

float eqBandFrequency(float x) { return pointCurve(kBandFrequencyPoints, x); }
float eqGainDecibels(float x) { return 20.0f * std::log10(pointCurve(kGainPoints.values, x)); }
float eqQ(float x) { return pointCurve(kQPoints, x); }

// Every voice starts its bands where they are set: a band that glided in from the 20 Hz floor would
// sweep audibly at the start of every note.
void initParametricEq(void* module, EngineContext*) {
    auto& m = *static_cast<ParametricEqModule*>(module);
    for (float& v : m.current) v = 0.0f;
    if (m.head.record != nullptr) {
        const ParametricEqParams& p = m.head.record->as<ParametricEqParams>();
        for (int v = 0; v < EqValue::Count; ++v) m.current[v] = p.band[v];
    }
    clearHistories(m);
}

void processParametricEq(void* module, const ConnectionDescriptor* descriptors, const PortEntry* const* sources,
                         const uint32_t* counts) {
    auto& m = *static_cast<ParametricEqModule*>(module);
    float* out = portBuffer(m.ports[0]);
    if (out == nullptr) return;
    // A skipped block leaves silence rather than the last block repeating.
    const bool wired = counts != nullptr && descriptors != nullptr && sources != nullptr && counts[0] > 0;
    const EngineContext* context = m.head.context;
    if (!wired || m.head.record == nullptr || context == nullptr ||
        (counts[1] > 0 && portBuffer(m.ports[1]) == nullptr)) {
        silence(portBuffer(m.ports[0]));
        return;
    }
    const ParametricEqParams& p = m.head.record->as<ParametricEqParams>();

    float x[kBlockFrames];
    mixInput(descriptors, sources, 0, counts[0], x);
    float mod[kModulationInputs];
    const uint32_t first = counts[0] + counts[1];
    sumBlockModulation(descriptors + first, sources + first, counts + kEqAudioInputs, kModulationInputs, mod);
    for (float& v : mod) v = finiteOrZero(v);
    updateBands(m, p, mod, *context);

    using namespace EqValue;
    const float* c = m.current;
    const double rate = double(context->sampleRate);
    const BiquadCoefficients sections[kEqSections] = {
        lowShelfCoefficients(c[LowCutoff], c[LowGain], rate),
        peakCoefficients(c[Peak1Frequency], c[Peak1Gain], c[Peak1Q], rate),
        peakCoefficients(c[Peak2Frequency], c[Peak2Gain], c[Peak2Q], rate),
        highShelfCoefficients(c[HighCutoff], c[HighGain], rate),
    };
    const double mix = p.bypass == 1 ? 0.0 : double(p.mix);
    const double gain = p.outputGain;

    for (int n = 0; n < kBlockFrames; ++n) {
        const double dry = x[n];
        double u = dry;
        // A switched-off section keeps running on its input, so switching it on joins without a jump.
        for (int s = 0; s < kEqSections; ++s) {
            const BiquadCoefficients& k = sections[s];
            EqHistory& h = m.history[s];
            const double y = k.b0 * u + k.b1 * h.input1 + k.b2 * h.input2 - k.a1 * h.output1 - k.a2 * h.output2;
            h.input2 = h.input1;
            h.input1 = u;
            h.output2 = h.output1;
            h.output1 = y;
            if (p.on[s] != 0) u = y;
        }
        const double z = flushed(u);
        out[n] = toSample((mix * z + (1.0 - mix) * dry) * gain);
    }
    settleHistories(m);
}

void loadParametricEqBlock(const uint16_t* data, int wordCount, ParameterRecord* record, EngineContext*) {
    // A truncated block would leave half a setting behind; the record keeps the last whole one.
    if (data == nullptr || record == nullptr || wordCount < kBlockWords) return;
    ParametricEqParams& p = record->as<ParametricEqParams>();
    float echo = 0.0f;
    int code = echo::Decibels;
    for (int parameter = kFirstBandParameter; parameter < kBlockWords; ++parameter)
        storeParameter(p, parameter, int16_t(data[parameter + 2]), &echo, &code);
}

void setParametricEqParameter(int16_t value, int parameter, float* echoValue, int* echoCode, ParameterRecord* record,
                              EngineContext*) {
    if (record == nullptr) return;
    float echo = 0.0f;
    int code = echo::Decibels;
    if (!storeParameter(record->as<ParametricEqParams>(), parameter, value, &echo, &code)) return;
    if (echoValue) *echoValue = echo;
    if (echoCode) *echoCode = code;
}

} // namespace corvex
