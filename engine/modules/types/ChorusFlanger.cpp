// The chorus and flanger (type 24): short delay lines swept by sine LFOs, mono in a voice, stereo in a master slot.
#include "engine/modules/types/ChorusFlanger.h"

#include <cmath>
#include <cstddef>

#include "engine/dsp/ConnectionDescriptor.h"
#include "engine/dsp/ConversionCurves.h"
#include "engine/dsp/FilterLanes.h"
#include "engine/dsp/ModuleValues.h"
#include "engine/dsp/SampleGuards.h"
#include "engine/dsp/TempoSync.h"
#include "engine/modules/BlockBufferStore.h"
#include "engine/modules/BlockSignals.h"
#include "engine/modules/EchoCodes.h"
#include "engine/modules/EngineContext.h"
#include "engine/modules/ModulationSum.h"
#include "engine/modules/ModulePools.h"
#include "engine/modules/VoiceLaneRuns.h"
#include "engine/modules/types/EffectTail.h"

namespace corvex {

static_assert(sizeof(ChorusFlangerModule) <= sizeof(VoiceModuleWrapperE), "the chorus comes from pool 5");
static_assert(offsetof(ChorusFlangerModule, ports) == offsetof(PortedModule, ports),
              "the framework finds the ports where every ported module keeps them");
static_assert((kChorusLineLength & (kChorusLineLength - 1)) == 0, "the write index wraps by mask");

namespace {

constexpr int kBlockWords = 20;
constexpr int kModulationInputs = 4; // delay, rate, depth, feedback
constexpr int kMaxTapSetting = 3;

// Samples at 44.1 kHz at x = i / 13.
constexpr float kDelayPoints[] = {1.0f,   10.0f,  50.0f,  100.0f,  150.0f,  200.0f,  250.0f,
                                  300.0f, 400.0f, 500.0f, 1000.0f, 1500.0f, 2250.0f, 3500.0f};
// Hz at x = i / 8.
constexpr float kRatePoints[] = {0.01f, 0.03f, 0.1f, 0.4f, 0.7f, 1.0f, 1.8f, 2.9f, 5.0f};

constexpr float kFeedbackScale = 0.9f;
// Per 44.1 kHz block.
constexpr float kDelayGlide = 0.01f;
constexpr float kDepthGlide = 0.001f;
constexpr float kSpreadGlide = 0.01f;
constexpr float kSpreadFloor = 0.00001f;
// Far past any depth the rows can set; the taps are held inside the lines anyway, this only keeps
// the glide finite under a runaway modulation sum.
constexpr float kLargestDepth = 4.0f;

// Samples at 44.1 kHz.
constexpr double kBaseDelay = 5.0;
constexpr double kTapSpacing = 1.9895347141858912;
constexpr double kDepthSamples = 800.0;
constexpr double kSpreadStep = 1.059;
constexpr double kStereoFeedbackGain = 1.6;
constexpr double kFeedbackPole = 0.7;

// A sine by the two-term recurrence: one multiply-add per frame, two sines per block to seed it.
struct Sweep {
    double last, beforeLast, twoCos;

    Sweep(double phase, double step)
        : last(std::sin(phase - step)), beforeLast(std::sin(phase - 2.0 * step)), twoCos(2.0 * std::cos(step)) {}

    double next() {
        const double y = twoCos * last - beforeLast;
        beforeLast = last;
        last = y;
        return y;
    }
};

// A slot not written since init belongs to an earlier user of this memory and reads as silence.
double held(const ChorusFlangerModule& m, int line, int32_t index) {
    return index < m.written[line] ? double(m.lines[line][index]) : 0.0;
}

double readTap(ChorusFlangerModule& m, int line, double delay) {
    const ChorusTapPosition at = chorusTapPosition(m.writeIndex[line], delay);
    const double y = flushed(at.allpass * held(m, line, at.newer) + held(m, line, at.older) -
                             at.allpass * m.previousRead[line]);
    m.previousRead[line] = y;
    return y;
}

double feedbackTap(const ChorusFlangerModule& m, int line) {
    return held(m, line, chorusFeedbackIndex(m.writeIndex[line], m.smoothedDelay));
}

void write(ChorusFlangerModule& m, int line, double v) {
    int32_t& w = m.writeIndex[line];
    m.lines[line][w] = toSample(v); // held finite, and nothing denormal enters the line
    w = (w + 1) & (kChorusLineLength - 1);
    if (m.written[line] < kChorusLineLength) ++m.written[line];
}

struct BlockSettings {
    double mix, gain, depth, spread, feedback;
    double taps[kMaxTapSetting + 1]; // the fixed part of each tap's delay
};

// In both forms the feedback factor enters twice, as the stored sounds were voiced; the mono form's
// loop is the voice lanes' own.
// Channel 1's sweeps run against channel 0's; each line's feedback passes a gentle low-pass.
void runStereo(ChorusFlangerModule& m, const BlockSettings& s, Sweep* sweeps, const float* in0, const float* in1,
               float* out0, float* out1) {
    const double g = s.feedback;
    for (int n = 0; n < kBlockFrames; ++n) {
        double y[4];
        for (int l = 0; l < 4; ++l) y[l] = sweeps[l].next();
        const double x[2] = {in0[n], in1[n]};
        double sums[2] = {0.0, 0.0};
        for (int line = 0; line < kChorusLines; ++line) {
            const int channel = line / 4;
            const int tap = line % 4;
            const double reach = (line == 0 ? 0.5 * s.depth : 0.5 * s.depth * s.spread);
            const double direction = channel == 0 ? 0.5 : -0.5;
            sums[channel] += readTap(m, line, s.taps[tap] + reach * (1.0 + direction * y[tap]));
            const double t = flushed(feedbackTap(m, line));
            const double u = flushed(0.5 * (m.previousFeedback[line] + t) - kFeedbackPole * m.filteredFeedback[line]);
            m.filteredFeedback[line] = u;
            m.previousFeedback[line] = t;
            const double v = flushed(kStereoFeedbackGain * g * u);
            write(m, line, x[channel] - g * v);
        }
        const double wet0 = flushed(0.5 * sums[0]);
        const double wet1 = flushed(0.5 * sums[1]);
        out0[n] = toSample(s.gain * ((1.0 - s.mix) * x[0] + s.mix * wet0));
        out1[n] = toSample(s.gain * ((1.0 - s.mix) * x[1] + s.mix * wet1));
    }
}

constexpr EffectTail kTail{17, 18, 19};

bool storeParameter(ChorusFlangerParams& p, int parameter, int16_t word, float* echo, int* code) {
    const float x = wordValue(word);
    switch (parameter) {
    case 7:
        p.tapSetting = word;
        *echo = float(word); *code = echo::Selection; return true;
    case 8:
        p.feedbackDelay = chorusDelayCurve(x);
        *echo = p.feedbackDelay; *code = echo::Milliseconds; return true;
    case 9:
        p.rate = chorusRateCurve(x);
        p.syncCode = mapParam16Segments(x);
        if (p.sync != 0) {
            *echo = p.syncCode; *code = echo::TempoRatio;
        } else {
            *echo = p.rate; *code = echo::Hertz;
        }
        return true;
    case 10:
        p.depth = x;
        *echo = x; *code = echo::Fraction; return true;
    case 11:
        p.spare11 = word;
        *echo = float(word); *code = echo::Selection; return true;
    case 12:
        // Past a word of 16384 the doubled feedback would pass unity and the lines would run away.
        p.feedback = kFeedbackScale * heldWithin(x, -1.0f, 1.0f);
        *echo = p.feedback; *code = echo::Fraction; return true;
    case 13:
        p.spread = x;
        *echo = x; *code = echo::Fraction; return true;
    case 14:
        p.spare14 = word;
        *echo = float(word); *code = echo::Switch; return true;
    case 16:
        p.sync = word;
        *echo = float(word); *code = echo::Switch; return true;
    default:
        return storeEffectTail(kTail, {&p.mix, &p.outputGain, &p.bypass}, parameter, word, *echo, *code);
    }
}

} // namespace

float chorusDelayCurve(float x) { return pointCurve(kDelayPoints, x); }
float chorusRateCurve(float x) { return pointCurve(kRatePoints, x); }

void initChorusFlanger(void* module, EngineContext* context) {
    auto& m = *static_cast<ChorusFlangerModule*>(module);
    for (int line = 0; line < kChorusLines; ++line) {
        m.writeIndex[line] = 0;
        m.written[line] = 0;
        m.previousRead[line] = 0.0;
        m.previousFeedback[line] = 0.0;
        m.filteredFeedback[line] = 0.0;
    }
    for (double& p : m.phase) p = 0.0;
    m.smoothedDelay = 0.0f;
    m.smoothedDepth = 0.0f;
    // Every voice starts its spread from none, whatever the pool item held before.
    m.smoothedSpread = 0.0f;
    if (m.head.record != nullptr) {
        const ChorusFlangerParams& p = m.head.record->as<ChorusFlangerParams>();
        const float stretch = context != nullptr ? float(context->referenceRatio) : 1.0f;
        m.smoothedDelay = heldWithin(p.feedbackDelay * stretch, 0.0f, float(kChorusLineLength - 1));
        m.smoothedDepth = heldWithin(p.depth, -kLargestDepth, kLargestDepth);
    }
}

namespace {

// Everything of a block but the mono form's loop, which the lane is filled for. False when nothing
// is left for the lane to do: a skipped block, or the stereo form, run here whole.
bool prepareBlock(ChorusFlangerModule& m, const ConnectionDescriptor* descriptors, const PortEntry* const* sources,
                  const uint32_t* counts, ChorusLane& lane) {
    float* out0 = portBuffer(m.ports[0]);
    float* out1 = portBuffer(m.ports[1]);
    const EngineContext* context = m.head.context;
    const bool wired = counts != nullptr && descriptors != nullptr && sources != nullptr && counts[0] > 0;
    const bool stereo = wired && counts[1] > 0;
    // A skipped block leaves silence rather than the last block repeating.
    if (out0 == nullptr || !wired || (stereo && out1 == nullptr) || m.head.record == nullptr || context == nullptr) {
        silence(out0);
        silence(out1);
        return false;
    }
    const ChorusFlangerParams& p = m.head.record->as<ChorusFlangerParams>();

    float in1[kBlockFrames];
    mixInput(descriptors, sources, 0, counts[0], lane.in);
    if (stereo) mixInput(descriptors, sources, counts[0], counts[1], in1);
    float mod[kModulationInputs];
    const uint32_t first = counts[0] + counts[1];
    sumBlockModulation(descriptors + first, sources + first, counts + 2, kModulationInputs, mod);
    for (float& v : mod) v = finiteOrZero(v);

    // Times are kept in samples of the running rate, and glides move as fast in time at every rate.
    const float stretch = float(context->referenceRatio);
    const float perBlock = float(context->inverseReferenceRatio);
    // Rate (mod[1]) and feedback (mod[3]) modulation reach nothing: the stored sounds were made so.
    m.smoothedDelay -= (m.smoothedDelay - (mod[0] + 1.0f) * p.feedbackDelay * stretch) * (kDelayGlide * perBlock);
    m.smoothedDelay = heldWithin(m.smoothedDelay, 0.0f, float(kChorusLineLength - 1));
    m.smoothedDepth -= (m.smoothedDepth - (mod[2] + 1.0f) * p.depth) * (kDepthGlide * perBlock);
    m.smoothedDepth = heldWithin(m.smoothedDepth, -kLargestDepth, kLargestDepth);
    m.smoothedSpread -= (m.smoothedSpread - p.spread) * (kSpreadGlide * perBlock);
    if (!(m.smoothedSpread > kSpreadFloor)) m.smoothedSpread = 0.0f;

    const double frequency = p.sync != 0 ? double(tempoSyncFrequency(p.syncCode, context->tempo)) : double(p.rate);
    const double spread = std::pow(kSpreadStep, 10.0 * double(m.smoothedSpread));
    BlockSettings s;
    s.mix = p.bypass == 1 ? 0.0 : double(p.mix);
    s.gain = p.outputGain;
    s.depth = kDepthSamples * context->referenceRatio * double(m.smoothedDepth);
    s.spread = spread;
    s.feedback = p.feedback;
    for (int tap = 0; tap <= kMaxTapSetting; ++tap)
        s.taps[tap] = (kBaseDelay + double(tap) * kTapSpacing * spread) * context->referenceRatio;

    const double rate = context->sampleRate > 0.0f ? double(context->sampleRate) : 44100.0;
    double step[kChorusLfos];
    double lfoFrequency = frequency;
    for (int l = 0; l < kChorusLfos; ++l) {
        step[l] = kTwoPi * lfoFrequency / rate;
        lfoFrequency *= spread;
        double& phase = m.phase[l];
        if (!std::isfinite(phase) || phase < 0.0) phase = 0.0;
        if (phase > kTwoPi) phase = std::fmod(phase, kTwoPi);
    }
    Sweep sweeps[kChorusLfos] = {{m.phase[0], step[0]}, {m.phase[1], step[1]}, {m.phase[2], step[2]},
                                 {m.phase[3], step[3]}};
    for (int l = 0; l < kChorusLfos; ++l) m.phase[l] += double(kBlockFrames) * step[l];

    if (stereo) {
        runStereo(m, s, sweeps, lane.in, in1, out0, out1);
        return false;
    }
    silence(out1); // the mono form has nothing for a second output
    lane.out = out0;
    lane.lines = m.lines[0];
    lane.mix = s.mix;
    lane.gain = s.gain;
    lane.feedback = s.feedback;
    for (int line = 0; line < kChorusLaneLines; ++line) {
        lane.taps[line] = s.taps[line];
        lane.reach[line] = line == 0 ? 0.5 * s.depth : 0.5 * s.depth * s.spread;
        lane.writeIndex[line] = m.writeIndex[line];
        lane.written[line] = m.written[line];
        lane.previousRead[line] = m.previousRead[line];
    }
    lane.tapSetting = p.tapSetting;
    lane.feedbackDelay = m.smoothedDelay;
    for (int l = 0; l < 2; ++l) {
        lane.sweepLast[l] = sweeps[l].last;
        lane.sweepBeforeLast[l] = sweeps[l].beforeLast;
        lane.sweepTwoCos[l] = sweeps[l].twoCos;
    }
    return true;
}

void finishBlock(ChorusFlangerModule& m, const ChorusLane& lane) {
    for (int line = 0; line < kChorusLaneLines; ++line) {
        m.writeIndex[line] = lane.writeIndex[line];
        m.written[line] = lane.written[line];
        m.previousRead[line] = lane.previousRead[line];
    }
}

} // namespace

void processChorusFlanger(void* module, const ConnectionDescriptor* descriptors, const PortEntry* const* sources,
                          const uint32_t* counts) {
    auto& m = *static_cast<ChorusFlangerModule*>(module);
    ChorusLane lane;
    if (!prepareBlock(m, descriptors, sources, counts, lane)) return;
    chorusOneLane(lane);
    finishBlock(m, lane);
}

void processChorusFlangers(void* const* modules, int count, const ConnectionDescriptor* descriptors,
                           const PortEntry* const* const* sources, const uint32_t* counts) {
    runInLanes<ChorusFlangerModule, ChorusLane>(modules, count, descriptors, sources, counts,
                                               filterLaneKernels().chorus, prepareBlock, finishBlock);
}

// The tap count is read as the word the effect rows write (0..3), exactly as the setter reads it:
// a reloaded sound keeps its taps.
void loadChorusFlangerBlock(const uint16_t* data, int wordCount, ParameterRecord* record, EngineContext*) {
    // A truncated block would leave half a setting behind; the record keeps the last whole one.
    if (data == nullptr || record == nullptr || wordCount < kBlockWords) return;
    ChorusFlangerParams& p = record->as<ChorusFlangerParams>();
    float echo = 0.0f;
    int code = echo::Decibels;
    p.sync = int16_t(data[16 + 2]); // before the rate, whose echo depends on it
    for (int parameter = 7; parameter < kBlockWords; ++parameter)
        storeParameter(p, parameter, int16_t(data[parameter + 2]), &echo, &code);
}

void setChorusFlangerParameter(int16_t value, int parameter, float* echoValue, int* echoCode, ParameterRecord* record,
                               EngineContext*) {
    if (record == nullptr) return;
    float echo = 0.0f;
    int code = echo::Decibels;
    if (!storeParameter(record->as<ChorusFlangerParams>(), parameter, value, &echo, &code)) return;
    if (echoValue) *echoValue = echo;
    if (echoCode) *echoCode = code;
}

} // namespace corvex
