// The voice filter (type 4): a one-pole high-pass or a resonant four-pole low-pass cascade per voice.
#include "engine/modules/types/VoiceFilter.h"

#include <cmath>
#include <cstddef>
#include <limits>

#include "engine/dsp/ConnectionDescriptor.h"
#include "engine/dsp/ConversionCurves.h"
#include "engine/dsp/FilterLanes.h"
#include "engine/dsp/ModuleValues.h"
#include "engine/dsp/SampleGuards.h"
#include "engine/modules/BlockSignals.h"
#include "engine/modules/EchoCodes.h"
#include "engine/modules/ModulationSum.h"
#include "engine/modules/EngineContext.h"
#include "engine/modules/BlockBufferStore.h"
#include "engine/modules/ModulePools.h"
#include "engine/modules/VoiceLaneRuns.h"

namespace corvex {

static_assert(sizeof(VoiceFilterModule) <= sizeof(VoiceModuleWrapperD), "the voice filter comes from pool 4");
static_assert(offsetof(VoiceFilterModule, ports) == offsetof(PortedModule, ports),
              "the framework finds the port where every ported module keeps it");

namespace {

// Hz at x = i / 12, formats 8 and other, the low-pass models.
constexpr float kCutoffPoints[] = {13.9f,   39.02f, 62.2f,  125.0f,    235.0f,        451.0f,  814.0f,
                                   1800.0f, 3259.559f, 6456.0f, 12186.849f, 16050.0f, 16050.0f};
// Hz at x = i / 6, format 8, the narrow high-pass model.
constexpr float kNarrowCutoffPoints[] = {3.0f, 229.192f, 696.23926f, 1263.0f, 1701.0f, 2529.0f, 2914.0f};
// At x = i / 12, format 8, the low-pass models; the stored resonance is four times the curve.
constexpr float kResonancePoints[] = {0.0001f, 0.001f, 0.03f,  0.067f, 0.17f,    0.3f,    0.42f,
                                      0.546f,  0.633f, 0.735f, 0.849f, 0.88396f, 0.88396f};
// At x = i / 10, format 8, the exponential high-pass model; also four times.
constexpr float kExponentialResonancePoints[] = {0.01f, 0.01f, 0.01f, 0.01f, 0.5f, 0.76f, 0.99f, 1.01f, 1.03f, 1.0f, 1.0f};

// Weights of the cascade's input and its four stages; the output reads stages 2 and 4 only.
struct OutputStage {
    int32_t model;
    float weights[5];
};
constexpr OutputStage kOutputStages[] = {
    {VoiceFilterModel::LowPass12dB, {0.0f, 0.0f, 1.0f, 0.0f, 0.0f}},
    {VoiceFilterModel::LowPass24dB, {0.0f, 0.0f, 0.0f, 0.0f, 1.0f}},
    {VoiceFilterModel::HighPassExponential, {1.0f, -2.0f, 1.0f, 0.0f, 0.0f}},
    {VoiceFilterModel::HighPassNarrow, {1.0f, -2.0f, 1.0f, 0.0f, 0.0f}},
};

constexpr int kBlockWords = 18;
constexpr int32_t kPointFormat = 8;
constexpr float kLowPass12dBGain = 1.1f;
constexpr float kLowPass24dBGain = 1.0f;
constexpr float kLoadedGainScale = 1.0f / 268435456.0f; // 2^-28

constexpr float kSlowGlide = 0.02f;
constexpr float kFastGlide = 0.86965f;
constexpr float kResonanceGlide = 0.44436965f;
constexpr float kMaxResonance = 3.5f;
constexpr float kMinResonance = 0.00001f;
constexpr float kAudioRateScale = 6.0f;

constexpr double kHighPassLowest = 5.0;
constexpr double kHighPassHighest = 17000.0;
constexpr double kCascadeLowest = 10.0;
constexpr double kCascadeHighest = 18500.0;
constexpr double kCascadeHighestAt96k = 30000.0;
// The coefficient polynomials hold up to these fractions of the rate (their top cutoffs at
// 44.1 kHz); past them a rate below 44.1 kHz would turn the coefficients negative and unstable.
constexpr double kHighPassTopRatio = kHighPassHighest / 44100.0;
constexpr double kCascadeTopRatio = kCascadeHighest / 44100.0;


static_assert(kVoicesPerLaneRun <= kVoicesPerModulationSum, "one call sums a run's voices");
static_assert(kVoicesPerLaneRun % 4 == 0, "a run's semitone offsets go four at a time");

float clampedUnit(float x) { return x < 0.0f ? 0.0f : (x > 1.0f ? 1.0f : x); }

bool isLowPass(int32_t model) {
    return model == VoiceFilterModel::LowPass12dB || model == VoiceFilterModel::LowPass24dB;
}

float cutoffCurve(int32_t format, int32_t model, float x) {
    if (model == VoiceFilterModel::HighPassExponential) return 5.0f * std::pow(1.059f, 82.0f * clampedUnit(x));
    if (format == kPointFormat) {
        if (isLowPass(model)) return pointCurve(kCutoffPoints, x);
        if (model == VoiceFilterModel::HighPassNarrow) return pointCurve(kNarrowCutoffPoints, x);
        return x;
    }
    if (model == VoiceFilterModel::LowPass12dB) return 10.0f * std::pow(1.059f, 120.0f * clampedUnit(x));
    if (model == VoiceFilterModel::LowPass24dB) return pointCurve(kCutoffPoints, x);
    return x;
}

float resonanceCurve(int32_t format, int32_t model, float x) {
    if (format != kPointFormat) return 4.0f * x;
    if (isLowPass(model)) return 4.0f * pointCurve(kResonancePoints, x);
    if (model == VoiceFilterModel::HighPassExponential) return 4.0f * pointCurve(kExponentialResonancePoints, x);
    return x;
}

void evaluateCurves(VoiceFilterParams& p) {
    p.cutoffHz = cutoffCurve(p.format, p.model, wordValue(p.cutoffWord));
    p.resonance = resonanceCurve(p.format, p.model, wordValue(p.resonanceWord));
}

// A model without an output stage of its own keeps the stage and gain it had.
void applyModel(VoiceFilterParams& p) {
    for (const OutputStage& s : kOutputStages) {
        if (s.model != p.model) continue;
        p.secondStageWeight = s.weights[2];
        p.fourthStageWeight = s.weights[4];
    }
    if (p.model == VoiceFilterModel::LowPass12dB) p.inputGain = kLowPass12dBGain;
    if (p.model == VoiceFilterModel::LowPass24dB) p.inputGain = kLowPass24dBGain;
}

// A gain of 0 has no decibel value; the echo shows a floor instead of minus infinity.
float gainDecibels(float gain) { return 20.0f * std::log10(gain > 1e-10f ? gain : 1e-10f); }

// What an input with no connection gives: read by the loops, never written.
alignas(16) constexpr float kSilentBlock[kBlockFrames] = {};

// Filled by gatherInputs alone: a batch keeps room for many voices and fills only those it has.
struct BlockInputs {
    float audio[kBlockFrames];
    float mixedModulation[kBlockFrames];
    const float* modulation; // the audio-rate term a[n], already x6 and x amount: mixed, or silence
    float cutoffSemitones;
    float resonanceScale;
    int slot; // the destination slot of the first connection, -1 without one

    void clear() {
        for (float& v : audio) v = 0.0f;
        modulation = kSilentBlock;
        cutoffSemitones = resonanceScale = 0.0f;
        slot = -1;
    }
};

// Where each input's connections lie among the slot's: the same for every voice of the slot.
struct InputShape {
    uint32_t first[VoiceFilterInput::Count] = {};
    uint32_t total = 0;
    int slot = -1; // the destination slot of the first connection

    InputShape(const ConnectionDescriptor* descriptors, const uint32_t* counts) {
        if (counts == nullptr || descriptors == nullptr) return;
        for (int i = 0; i < VoiceFilterInput::Count; ++i) {
            first[i] = total;
            total += counts[i];
        }
        if (total > 0) slot = int((descriptors[0].route() >> 17) & 127u);
    }
};

// `sums`, when given, holds the cutoff and resonance sums already worked out for this voice. Inlined,
// as the block's start is.
[[gnu::always_inline]] inline
void gatherInputs(const InputShape& shape, const ConnectionDescriptor* descriptors, const PortEntry* const* sources,
                  const uint32_t* counts, BlockInputs& in, const float* sums) {
    if (counts == nullptr || descriptors == nullptr || sources == nullptr) return in.clear();
    if (shape.total == 0) return in.clear();
    const uint32_t* first = shape.first;
    in.slot = shape.slot;
    mixInput(descriptors, sources, first[VoiceFilterInput::Audio], counts[VoiceFilterInput::Audio], in.audio);
    if (counts[VoiceFilterInput::AudioRateModulation] == 0) {
        in.modulation = kSilentBlock;
    } else {
        mixInput(descriptors, sources, first[VoiceFilterInput::AudioRateModulation],
                 counts[VoiceFilterInput::AudioRateModulation], in.mixedModulation, kAudioRateScale);
        in.modulation = in.mixedModulation;
    }
    float own[2];
    if (sums == nullptr) {
        const uint32_t at = first[VoiceFilterInput::Cutoff];
        sumBlockModulation(descriptors + at, sources + at, counts + VoiceFilterInput::Cutoff, 2, own);
        sums = own;
    }
    in.cutoffSemitones = finiteOrZero(sums[0]);
    in.resonanceScale = finiteOrZero(sums[1]);
}

// Per-voice and per-slot spread, so that no two voices, nor the two filters of one voice, share a
// cutoff exactly.
float spreadOffset(const EngineContext& c, int voice, int slot) {
    const float b = (c.spreadB != nullptr && voice >= 0 && voice < kSpreadTableBSize) ? c.spreadB[voice] : 0.0f;
    const float a = (c.spreadA != nullptr && slot >= 0 && slot < kSpreadTableASize) ? c.spreadA[slot] : 0.0f;
    return 1.0f + (b + a) * (0.08f * c.detuneAmount + 0.03f);
}

// fmin for a first argument that is never NaN, without the library call: a NaN second argument
// gives the first, as fmin does.
double lowerOf(double a, double b) { return b < a ? b : a; }

double heldWithin(double v, double lowest, double highest) {
    if (!(v > lowest)) return lowest; // NaN lands here too
    return v < highest ? v : highest;
}

double highPassCoefficient(double f, double rate) {
    const double w = 2.0 * kPi * f / rate;
    return w * (0.9892 + w * (-0.4342 + w * (0.1381 - 0.0202 * w)));
}

// A series exponential stands in for exp; the cubic pre-warps the cutoff at twice the rate.
double cascadeCoefficient(double f, double rate) {
    const double u = f / rate;
    const double z = -2.0 * kPi * f * (0.9988 + u * (-0.649 + u * (0.4955 + 1.873 * u))) / (2.0 * rate);
    const double e = 1.0 + z * (1.0 + z * (1.0 / 2.0 + z * (1.0 / 6.0 + z * (1.0 / 24.0 + z / 120.0))));
    return 1.0 - e;
}

// Keeps the resonance's sound alike across the cutoff range.
double cascadeTuning(double f, bool at96k) {
    if (at96k) return 0.9995 + f * (1.8039e-05 + f * (-4.3173e-10 + f * (9.5031e-15 - 2.7246e-19 * f)));
    return 1.0003 + f * (4.1825e-05 + f * (-1.9622e-09 + f * (2.0765e-14 - 1.2589e-18 * f)));
}

// What one voice's block still needs after the block-rate work: a loop over its samples, or nothing.
enum class Loop { None, HighPass, Cascade };

struct PreparedBlock {
    BlockInputs in;
    float* out;
    float cutoff; // Hz, before the form holds it to its range
    float resonance;
    Loop loop;
    int lane; // the block's lane in its loop's set
};

// The lanes of a run, filled as the voices are prepared: each loop runs over its own set at once.
template <int Size>
struct LaneSets {
    CascadeLane cascades[Size];
    HighPassLane highPasses[Size];
    int cascadeCount = 0;
    int highPassCount = 0;

    HighPassLane& nextHighPass(PreparedBlock& b) {
        b.loop = Loop::HighPass;
        b.lane = highPassCount++;
        return highPasses[b.lane];
    }
    CascadeLane& nextCascade(PreparedBlock& b) {
        b.loop = Loop::Cascade;
        b.lane = cascadeCount++;
        return cascades[b.lane];
    }

    // The top cutoff and its coefficient follow from the rate alone: worked out once for a run.
    double highestCoefficient(double top, double rate) {
        if (rate != highestRate) {
            highestRate = rate;
            highest = cascadeCoefficient(top, rate);
        }
        return highest;
    }
    double highestRate = -1.0;
    double highest = 0.0;
};

template <int Size>
void prepareHighPass(VoiceFilterModule& m, PreparedBlock& b, LaneSets<Size>& sets, float cutoff, double rate) {
    const double f = heldWithin(cutoff, kHighPassLowest, lowerOf(kHighPassHighest, kHighPassTopRatio * rate));
    const double g = highPassCoefficient(f, rate);
    HighPassLane& lane = sets.nextHighPass(b);
    lane.audio = b.in.audio;
    lane.out = b.out;
    lane.coefficient = m.previousCoefficient;
    lane.step = (g - double(m.previousCoefficient)) * (1.0 / kBlockFrames);
    lane.before = m.previousQuarterInput;
    lane.low = m.highPassLow;
    m.previousCoefficient = float(g);
}

void finishHighPass(VoiceFilterModule& m, const HighPassLane& lane) {
    m.previousQuarterInput = lane.before;
    m.highPassLow = lane.low;
}

template <int Size>
void prepareCascade(VoiceFilterModule& m, const VoiceFilterParams& p, PreparedBlock& b, LaneSets<Size>& sets,
                    float cutoff, double resonance, const EngineContext& context) {
    const double rate = context.sampleRate;
    const bool at96k = context.sampleRate == 96000.0f;
    const double top = lowerOf(at96k ? kCascadeHighestAt96k : kCascadeHighest, kCascadeTopRatio * rate);
    const double f = heldWithin(cutoff, kCascadeLowest, top);
    if (f != m.cascadeCutoff || rate != m.cascadeRate) {
        m.cascadeCutoff = f;
        m.cascadeRate = rate;
        m.cascadeCoefficientHeld = cascadeCoefficient(f, rate);
        m.cascadeTuningHeld = cascadeTuning(f, at96k);
    }
    const double k = m.cascadeCoefficientHeld;
    const double h = m.cascadeTuningHeld;

    if (context.integerSwitch == 1) {
        CascadeLane& lane = sets.nextCascade(b);
        lane.audio = b.in.audio;
        lane.modulation = b.in.modulation;
        lane.out = b.out;
        lane.coefficient = k;
        lane.previousCoefficient = m.previousCoefficient;
        lane.tuning = h;
        lane.previousTuning = m.previousTuning;
        lane.resonance = resonance;
        lane.gain = p.inputGain;
        lane.secondWeight = p.secondStageWeight;
        lane.fourthWeight = p.fourthStageWeight;
        // Audio-rate modulation may push the coefficient anywhere; past the top cutoff's own
        // coefficient a full resonance would run away, and below 0 the stages would.
        lane.highestCoefficient = sets.highestCoefficient(top, rate);
        for (int s = 0; s < 4; ++s) lane.state[s] = m.stage[s];
        lane.state[4] = m.feedback;
        lane.state[5] = m.previousFourth;
    } else {
        silence(b.out); // the cascade is switched off; its coefficients still follow the cutoff
    }
    m.previousCoefficient = float(k);
    m.previousTuning = float(h);
}

void finishCascade(VoiceFilterModule& m, const CascadeLane& lane) {
    for (int s = 0; s < 4; ++s) m.stage[s] = lane.state[s];
    m.feedback = lane.state[4];
    m.previousFourth = lane.state[5];
}

void clearFilterStates(VoiceFilterModule& m) {
    for (double& s : m.stage) s = 0.0;
    m.previousFourth = 0.0;
    m.feedback = 0.0;
    m.previousQuarterInput = 0.0;
    m.highPassLow = 0.0;
}

// A block that went out of range (a huge input through a resonant peak) would leave its states
// ringing for seconds or infinite for good: it goes out silent and the filter starts from rest.
// The loops judge their own block and states and flush them; the states of the other form were
// flushed when they last ran and have not moved since.
void settleStates(VoiceFilterModule& m, float* out, bool healthy) {
    if (!healthy) {
        clearFilterStates(m);
        silence(out);
        return;
    }
    m.cutoffSlow = flushed(m.cutoffSlow);
    m.cutoffFast = flushed(m.cutoffFast);
    m.resonanceSmooth = flushed(m.resonanceSmooth);
}

// The smoothed block-rate values of a run's voices side by side, so that the voices' smoothing runs as
// one loop rather than as one short chain each.
struct RunRates {
    float cutoffTarget[kVoicesPerLaneRun];
    float cutoffSlow[kVoicesPerLaneRun];
    float cutoffFast[kVoicesPerLaneRun];
    float semitones[kVoicesPerLaneRun];
    float ratio[kVoicesPerLaneRun];
    float spread[kVoicesPerLaneRun];
    float offset[kVoicesPerLaneRun]; // the first sample of the audio-rate term
    float resonanceTarget[kVoicesPerLaneRun];
    float resonanceSmooth[kVoicesPerLaneRun];

    // A voice without a block still takes part in the loops: with values that cost nothing.
    void clear(int v) {
        cutoffTarget[v] = cutoffSlow[v] = cutoffFast[v] = semitones[v] = spread[v] = offset[v] = 0.0f;
        resonanceTarget[v] = resonanceSmooth[v] = 0.0f;
    }
};

// The block-rate start of a block, up to its smoothing: inputs and the values the smoothing takes.
// False when the block is already written (or there is nowhere to write it) and needs nothing more.
// Inlined into the run's loop: it runs for every voice of every block.
[[gnu::always_inline]] inline
bool gatherBlock(VoiceFilterModule& m, const InputShape& shape, const ConnectionDescriptor* descriptors,
                 const PortEntry* const* sources, const uint32_t* counts, PreparedBlock& b, RunRates& r, int v,
                 const float* sums = nullptr) {
    b.loop = Loop::None;
    b.out = portBuffer(m.ports[0]);
    const EngineContext* context = m.head.context;
    if (b.out == nullptr || context == nullptr || m.head.record == nullptr) {
        r.clear(v);
        silence(b.out);
        return false;
    }
    const VoiceFilterParams& p = m.head.record->as<VoiceFilterParams>();
    BlockInputs& in = b.in;
    gatherInputs(shape, descriptors, sources, counts, in, sums);
    r.cutoffTarget[v] = p.cutoffHz;
    r.cutoffSlow[v] = m.cutoffSlow;
    r.cutoffFast[v] = m.cutoffFast;
    r.offset[v] = in.modulation[0];
    r.semitones[v] = in.modulation[0] + in.cutoffSemitones;
    r.spread[v] = spreadOffset(*context, m.head.initArgument(), in.slot);
    r.resonanceTarget[v] = (in.resonanceScale + 1.0f) * p.resonance;
    r.resonanceSmooth[v] = m.resonanceSmooth;
    return true;
}

// The cutoff's two glides and the resonance's one, for the first n voices of a run at once.
void smoothRates(RunRates& r, int n) {
    for (int v = 0; v < n; ++v) {
        r.cutoffSlow[v] += (r.cutoffTarget[v] - r.cutoffSlow[v]) * kSlowGlide;
        r.cutoffFast[v] -= (r.cutoffFast[v] - r.cutoffSlow[v]) * kFastGlide;
        const float smooth = r.resonanceSmooth[v] - (r.resonanceSmooth[v] - r.resonanceTarget[v]) * kResonanceGlide;
        r.resonanceSmooth[v] = finiteOrZero(smooth);
    }
    if (n > 4) {
        // The ratios come four offsets at a time: the places past the last voice hold silence.
        for (int v = n; v % 4 != 0; ++v) r.semitones[v] = 0.0f;
        semitonesToRatios(r.semitones, r.ratio, n);
    } else {
        for (int v = 0; v < n; ++v) r.ratio[v] = semitonesToRatio(r.semitones[v]);
    }
}

// The voice's smoothed states back into it, and the block's cutoff and resonance.
void takeRates(VoiceFilterModule& m, PreparedBlock& b, const RunRates& r, int v) {
    m.cutoffSlow = r.cutoffSlow[v];
    m.cutoffFast = r.cutoffFast[v];
    m.resonanceSmooth = r.resonanceSmooth[v];
    b.cutoff = r.cutoffFast[v] * r.ratio[v] * r.spread[v] + r.offset[v];
    float resonance = r.resonanceSmooth[v] + r.offset[v];
    if (resonance > kMaxResonance) resonance = kMaxResonance;
    if (!(resonance > kMinResonance)) resonance = kMinResonance;
    b.resonance = resonance;
}

// The form's coefficients and the lane that will run the block's samples.
template <int Size>
void prepareForm(VoiceFilterModule& m, PreparedBlock& b, LaneSets<Size>& sets) {
    const VoiceFilterParams& p = m.head.record->as<VoiceFilterParams>();
    const EngineContext& context = *m.head.context;
    switch (p.form) {
    case VoiceFilterForm::HighPass:
        prepareHighPass(m, b, sets, b.cutoff, context.sampleRate);
        break;
    case VoiceFilterForm::LowPassCascade:
        prepareCascade(m, p, b, sets, b.cutoff, b.resonance, context);
        break;
    default:
        silence(b.out); // no such filter: nothing that a reader could mistake for a signal
        break;
    }
}

template <int Size>
void finishBlock(VoiceFilterModule& m, const PreparedBlock& b, const LaneSets<Size>& sets) {
    bool healthy = true; // a block without a loop is silence
    if (b.loop == Loop::HighPass) {
        const HighPassLane& lane = sets.highPasses[b.lane];
        finishHighPass(m, lane);
        healthy = lane.healthy;
    }
    if (b.loop == Loop::Cascade) {
        const CascadeLane& lane = sets.cascades[b.lane];
        finishCascade(m, lane);
        healthy = lane.healthy;
    }
    settleStates(m, b.out, healthy);
}

bool storeParameter(VoiceFilterParams& p, int parameter, int16_t word, float* echo, int* code) {
    switch (parameter) {
    case 3:
        p.format = word;
        evaluateCurves(p);
        applyModel(p);
        *echo = float(word); *code = echo::Selection; return true;
    case 7:
        p.cutoffWord = word;
        p.cutoffHz = cutoffCurve(p.format, p.model, wordValue(word));
        *echo = p.cutoffHz; *code = echo::Hertz; return true;
    case 8:
        p.resonanceWord = word;
        p.resonance = resonanceCurve(p.format, p.model, wordValue(word));
        *echo = p.resonance; *code = echo::Fraction; return true;
    case 11:
        p.model = word;
        applyModel(p);
        *echo = float(word); *code = echo::Selection; return true;
    // The rest change only with a whole block; a single word is answered with what is stored.
    case 9: *echo = p.spare9; *code = echo::Percent; return true;
    case 10: *echo = p.spare10; *code = echo::Hertz; return true;
    case 12: *echo = float(p.spare12); *code = echo::Selection; return true;
    case 13: *echo = gainDecibels(p.inputGain); *code = echo::Decibels; return true;
    case 14: *echo = float(p.spare14); *code = echo::Selection; return true;
    case 15: *echo = float(p.spare15); *code = echo::Switch; return true;
    case 16: *echo = float(p.spare16); *code = echo::Hertz; return true;
    case 17: *echo = float(p.form); *code = echo::Fraction; return true;
    default: return false;
    }
}

} // namespace

void initVoiceFilter(void* module, EngineContext*) {
    auto& m = *static_cast<VoiceFilterModule*>(module);
    m.cutoffSlow = m.head.record != nullptr ? m.head.record->as<VoiceFilterParams>().cutoffHz : 0.0f;
    m.cutoffFast = 0.0f;
    m.resonanceSmooth = 0.0f;
    m.previousCoefficient = 0.0f;
    m.previousTuning = 0.0f;
    m.cascadeCutoff = m.cascadeRate = std::numeric_limits<double>::quiet_NaN(); // matches no cutoff
    clearFilterStates(m);
}

void processVoiceFilter(void* module, const ConnectionDescriptor* descriptors, const PortEntry* const* sources,
                        const uint32_t* counts) {
    auto& m = *static_cast<VoiceFilterModule*>(module);
    PreparedBlock b;
    LaneSets<1> sets;
    RunRates r;
    if (!gatherBlock(m, InputShape(descriptors, counts), descriptors, sources, counts, b, r, 0)) return;
    smoothRates(r, 1);
    takeRates(m, b, r, 0);
    prepareForm(m, b, sets);
    if (b.loop == Loop::HighPass) highPassOneLane(sets.highPasses[0]);
    if (b.loop == Loop::Cascade) cascadeOneLane(sets.cascades[0]);
    finishBlock(m, b, sets);
}

void processVoiceFilters(void* const* modules, int count, const ConnectionDescriptor* descriptors,
                         const PortEntry* const* const* sources, const uint32_t* counts) {
    if (count == 1) {
        processVoiceFilter(modules[0], descriptors, sources[0], counts);
        return;
    }
    const FilterLaneKernels& lanes = filterLaneKernels();
    const InputShape shape(descriptors, counts);
    for (int first = 0; first < count; first += kVoicesPerLaneRun) {
        const int n = count - first < kVoicesPerLaneRun ? count - first : kVoicesPerLaneRun;
        PreparedBlock blocks[kVoicesPerLaneRun];
        bool prepared[kVoicesPerLaneRun];
        LaneSets<kVoicesPerLaneRun> sets;
        RunRates r;
        auto module = [&](int v) -> VoiceFilterModule& {
            return *static_cast<VoiceFilterModule*>(modules[first + v]);
        };
        // The block-rate sums of every voice at once: the voices share their connections' scales.
        float sums[kVoicesPerLaneRun][2];
        bool wired = counts != nullptr && descriptors != nullptr;
        for (int v = 0; v < n; ++v) wired = wired && sources[first + v] != nullptr;
        if (wired) {
            const uint32_t cutoff = counts[VoiceFilterInput::Audio];
            sumBlockModulationOfVoices(descriptors + cutoff, sources + first, cutoff, n,
                                       counts + VoiceFilterInput::Cutoff, 2, &sums[0][0]);
        }
        // Then each step for all the voices before the next: their block-rate chains are independent.
        for (int v = 0; v < n; ++v)
            prepared[v] = gatherBlock(module(v), shape, descriptors, sources[first + v], counts, blocks[v], r, v,
                                      wired ? sums[v] : nullptr);
        smoothRates(r, n);
        for (int v = 0; v < n; ++v) {
            if (!prepared[v]) continue;
            takeRates(module(v), blocks[v], r, v);
            prepareForm(module(v), blocks[v], sets);
        }
        if (sets.cascadeCount > 0) lanes.cascade(sets.cascades, sets.cascadeCount);
        if (sets.highPassCount > 0) lanes.highPass(sets.highPasses, sets.highPassCount);
        for (int v = 0; v < n; ++v)
            if (prepared[v]) finishBlock(module(v), blocks[v], sets);
    }
}

void loadVoiceFilterBlock(const uint16_t* data, int wordCount, ParameterRecord* record, EngineContext*) {
    // A truncated block would leave half a setting behind; the record keeps the last whole one.
    if (data == nullptr || record == nullptr || wordCount < kBlockWords) return;
    auto word = [data](int j) { return int16_t(data[j + 2]); };
    VoiceFilterParams& p = record->as<VoiceFilterParams>();
    p.format = word(3);
    p.cutoffWord = word(7);
    p.resonanceWord = word(8);
    p.spare9 = wordValue(word(9));
    p.spare10 = wordValue(word(10));
    p.model = word(11);
    p.spare12 = word(12);
    p.inputGain = float(data[13 + 2]) * kLoadedGainScale;
    p.spare14 = word(14);
    p.spare15 = word(15);
    p.spare16 = word(16);
    p.form = word(17);
    evaluateCurves(p);
    // After the gain word: models 0 and 1 fix their own input gain, which the word must not undo.
    applyModel(p);
}

void setVoiceFilterParameter(int16_t value, int parameter, float* echoValue, int* echoCode, ParameterRecord* record,
                             EngineContext*) {
    if (record == nullptr) return;
    float echo = 0.0f;
    int code = echo::Decibels;
    if (!storeParameter(record->as<VoiceFilterParams>(), parameter, value, &echo, &code)) return;
    if (echoValue) *echoValue = echo;
    if (echoCode) *echoCode = code;
}

} // namespace corvex
