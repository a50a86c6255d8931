// The stereo reverb (type 29): a pre-delay into an eight-line feedback delay network with damped
// feedback and slowly wandering output taps, hosted by a master effect slot.
#include "engine/dsp/SampleGuards.h"
#include "engine/modules/BlockSignals.h"
#include "engine/modules/types/Reverb.h"

#include <cmath>
#include <cstddef>

#include "engine/dsp/ConnectionDescriptor.h"
#include "engine/dsp/ConversionCurves.h"
#include "engine/dsp/ModuleValues.h"
#include "engine/modules/BlockBufferStore.h"
#include "engine/modules/EngineContext.h"
#include "engine/modules/ModulationSum.h"
#include "engine/modules/ModulePools.h"

namespace corvex {

static_assert(sizeof(ReverbModule) <= sizeof(VoiceModuleWrapperF), "the reverb comes from pool 6");
static_assert(offsetof(ReverbModule, ports) == offsetof(PortedModule, ports),
              "the framework finds the ports where every ported module keeps them");
static_assert((kReverbLineLength & (kReverbLineLength - 1)) == 0, "the line index wraps by mask");

namespace {

constexpr int kModulationInputs = 4; // only the third transposes the high damping
constexpr float kHighDampingSemitones = 107.0f;

// The network's lines at 44.1 kHz: lengths, how far each tap wanders, how often it picks a new goal,
// where it starts, and the goal it would start towards (redrawn at the first sample). Other rates
// stretch the samples to the same times.
struct LineConstants {
    int32_t length;
    double depth;
    int32_t redrawPeriod;
    double initialOffset;
    double initialTarget;
};
constexpr LineConstants kLines[kReverbLines] = {
    {2473, 44.1, 14225, 44.45045846782744, 0.3213210105895996},
    {2767, 48.51, 12600, 40.71478007158053, -0.9320999979972839},
    {3217, 74.97, 40090, 83.5962111729715, 1.3209999799728394},
    {3557, 26.46, 11099, 28.01021325133661, -1.3200000524520874},
    {3907, 44.1, 18838, 27.597800061184138, 0.5429999828338623},
    {4127, 48.51, 23247, 49.07166963201261, 1.3212000131607056},
    {2143, 74.97, 49494, 49.25765298057277, -0.3213199973106384},
    {1933, 26.46, 13691, 34.98595464538654, 0.72953200340271},
};
constexpr int kLeftLines = 4; // lines 0..3 take the left input and feed the left side

constexpr uint32_t kRandomMultiplier = 0x11A96539u;
constexpr uint32_t kRandomIncrement = 0x39DAB12Eu;
constexpr double kTwoToMinus31 = 1.0 / 2147483648.0;
constexpr double kOffsetGlide = 4e-5;  // per 44.1 kHz sample
constexpr float kPreDelayGlide = 0.01f; // per 44.1 kHz block
constexpr double kMatrixScale = 0.25;
constexpr double kSqrt2 = 1.41421356237309504880;

// One input's first connection: its samples (none from a block-rate source) and its level.
struct Input {
    const float* samples = nullptr;
    double level = 0.0;
};
Input firstConnection(const ConnectionDescriptor* descriptors, const PortEntry* const* sources, uint32_t at,
                      uint32_t count) {
    Input in;
    if (count == 0 || sources[at] == nullptr) return in;
    in.samples = portBuffer(*sources[at]);
    in.level = double(descriptors[at].amount());
    return in;
}

// A broken sample enters the network as silence: once inside, it would ring there for ever.
double inputSample(const Input& in, int n) {
    if (in.samples == nullptr) return 0.0;
    const double x = double(in.samples[n]) * in.level;
    return std::isfinite(x) ? x : 0.0;
}

// Slots not yet written since init belong to whoever used this memory before and read as silence.
double lineAt(const ReverbModule& m, int line, int32_t index) {
    index &= kReverbLineLength - 1;
    return index < m.lineWritten ? m.lines[line][index] : 0.0;
}

double preDelayed(const ReverbModule& m, int side, int32_t back) {
    int32_t index = m.inputWrite - back;
    if (index < 0) index += kReverbPreDelayLength;
    return index < m.inputWritten ? m.input[side][index] : 0.0;
}

// How far back a line reads at 44.1 kHz: its length, its tap's widest wander (half again its depth)
// and the interpolation's second sample.
constexpr double longestReach() {
    double longest = 0.0;
    for (const LineConstants& line : kLines)
        if (line.length + 1.5 * line.depth + 1.0 > longest) longest = line.length + 1.5 * line.depth + 1.0;
    return longest;
}

// The longest stretch the lines hold: 7 times 44.1 kHz (over 300 kHz). A faster rate keeps it, and
// its room sounds smaller.
constexpr double kLongestStretch = 7.0;
static_assert(kLongestStretch * longestReach() < kReverbLineLength, "the stretched lines fit");

// One line's times in samples at the running rate.
struct ScaledLine {
    int32_t length;
    double depth;
    int32_t redrawPeriod;
};

double lineStretch(const EngineContext& context) {
    return context.referenceRatio < kLongestStretch ? context.referenceRatio : kLongestStretch;
}

int32_t stretched(int32_t samples, double stretch) { return int32_t(std::lround(double(samples) * stretch)); }

struct Coefficients {
    double b0, b1, b2, a1, a2; // low damping: a Butterworth high-pass
    double lowPass;            // high damping: the one-pole's feedback coefficient
    double offsetGlide;
    ScaledLine lines[kReverbLines];
};

Coefficients coefficients(const ReverbParams& p, float transpose, double rate, const EngineContext& context) {
    Coefficients c;
    const double f = double(semitonesToRatio(kHighDampingSemitones * transpose)) * double(p.highDamping);
    const double cw = std::cos(2.0 * kPi * f / rate);
    c.lowPass = (2.0 - cw) - std::sqrt((2.0 - cw) * (2.0 - cw) - 1.0);
    const double k = std::tan(kPi * double(p.lowDamping) / rate);
    const double d = 1.0 + kSqrt2 * k + k * k;
    c.b0 = 1.0 / d;
    c.b1 = -2.0 / d;
    c.b2 = 1.0 / d;
    c.a1 = 2.0 * (k * k - 1.0) / d;
    c.a2 = (1.0 - kSqrt2 * k + k * k) / d;
    c.offsetGlide = kOffsetGlide * context.inverseReferenceRatio;
    const double stretch = lineStretch(context);
    for (int line = 0; line < kReverbLines; ++line) {
        c.lines[line].length = stretched(kLines[line].length, stretch);
        c.lines[line].depth = kLines[line].depth * stretch;
        c.lines[line].redrawPeriod = stretched(kLines[line].redrawPeriod, stretch);
    }
    return c;
}

// One line for one sample: its wandering wet tap, then its damped feedback and the write.
double runLine(ReverbModule& m, int k, const Coefficients& c, double g, double feed) {
    const ScaledLine& line = c.lines[k];
    if (--m.redrawIn[k] <= 0) {
        m.redrawIn[k] = line.redrawPeriod;
        m.random = m.random * kRandomMultiplier + kRandomIncrement;
        m.target[k] = (double(m.random) * kTwoToMinus31 + 1.0) * 0.5 * line.depth;
    }
    m.offset[k] -= c.offsetGlide * (m.offset[k] - m.target[k]);
    const double d = double(line.length) + m.offset[k];
    const int32_t whole = int32_t(d);
    const double eta = 1.0 - (d - double(whole));
    const int32_t w = m.lineWrite;
    const double y = flushed(eta * lineAt(m, k, w - whole) + lineAt(m, k, w - whole - 1) - eta * m.allpass[k]);
    m.allpass[k] = y;

    const double u = g * lineAt(m, k, w - line.length);
    const double h = flushed(c.b0 * u + c.b1 * m.x1[k] + c.b2 * m.x2[k] - c.a1 * m.y1[k] - c.a2 * m.y2[k]);
    m.y2[k] = m.y1[k];
    m.y1[k] = h;
    m.x2[k] = m.x1[k];
    m.x1[k] = u;
    m.lowPass[k] = flushed(h + (m.lowPass[k] - h) * c.lowPass);
    m.lines[k][w] = feed - m.lowPass[k];
    return y;
}

} // namespace

void initReverb(void* module, EngineContext* context) {
    auto& m = *static_cast<ReverbModule*>(module);
    m.lineWrite = 0;
    m.lineWritten = 0;
    m.inputWrite = 0;
    m.inputWritten = 0;
    const double stretch = context != nullptr ? lineStretch(*context) : 1.0;
    for (int k = 0; k < kReverbLines; ++k) {
        m.redrawIn[k] = 1; // every line draws its first goal at the first sample
        m.target[k] = kLines[k].initialTarget * stretch;
        m.offset[k] = kLines[k].initialOffset * stretch;
        m.allpass[k] = 0.0;
        m.x1[k] = m.x2[k] = m.y1[k] = m.y2[k] = 0.0;
        m.lowPass[k] = 0.0;
    }
    m.preDelay = 1.0f;
    if (m.head.record != nullptr && context != nullptr)
        m.preDelay = heldWithin(m.head.record->as<ReverbParams>().preDelay * context->ratePerMillisecond, 1.0f,
                                float(kReverbPreDelayLength - 1));
}

void processReverb(void* module, const ConnectionDescriptor* descriptors, const PortEntry* const* sources,
                   const uint32_t* counts) {
    auto& m = *static_cast<ReverbModule*>(module);
    float* out0 = portBuffer(m.ports[0]);
    float* out1 = portBuffer(m.ports[1]);
    const EngineContext* context = m.head.context;
    const bool wired = counts != nullptr && descriptors != nullptr && sources != nullptr;
    // A wired input needs its own side's output; a skipped block leaves silence, not the last one again.
    if (!wired || (out0 == nullptr && out1 == nullptr) || (counts[0] > 0 && out0 == nullptr) ||
        (counts[1] > 0 && out1 == nullptr) || m.head.record == nullptr || context == nullptr) {
        silence(out0);
        silence(out1);
        return;
    }
    const ReverbParams& p = m.head.record->as<ReverbParams>();
    const Input left = firstConnection(descriptors, sources, 0, counts[0]);
    const Input right = firstConnection(descriptors, sources, counts[0], counts[1]);

    float mod[kModulationInputs];
    const uint32_t first = counts[0] + counts[1];
    sumBlockModulation(descriptors + first, sources + first, counts + 2, kModulationInputs, mod);
    const double rate = context->sampleRate > 0.0f ? double(context->sampleRate) : 44100.0;
    const Coefficients c = coefficients(p, finiteOrZero(mod[2]), rate, *context);

    const float preDelayGlide = kPreDelayGlide * float(context->inverseReferenceRatio);
    m.preDelay -= preDelayGlide * (m.preDelay - p.preDelay * float(rate * 0.001));
    m.preDelay = heldWithin(m.preDelay, 1.0f, float(kReverbPreDelayLength - 1));
    const int32_t back = int32_t(m.preDelay);
    const double mix = p.bypass == 1 ? 0.0 : double(p.mix);
    const double gain = double(p.outputGain);
    const double g = double(p.feedback);

    for (int n = 0; n < kBlockFrames; ++n) {
        double sum = 0.0;
        for (int k = 0; k < kReverbLines; ++k) sum += m.lowPass[k];
        const double mixed = flushed(kMatrixScale * sum);

        const double xl = inputSample(left, n);
        const double xr = inputSample(right, n);
        const double dl = preDelayed(m, 0, back);
        const double dr = preDelayed(m, 1, back);
        m.input[0][m.inputWrite] = xl;
        m.input[1][m.inputWrite] = xr;
        if (++m.inputWrite == kReverbPreDelayLength) m.inputWrite = 0;
        if (m.inputWritten < kReverbPreDelayLength) ++m.inputWritten;

        double wet[2] = {0.0, 0.0};
        for (int k = 0; k < kReverbLines; ++k)
            wet[k < kLeftLines ? 0 : 1] += runLine(m, k, c, g, (k < kLeftLines ? dl : dr) + mixed);
        m.lineWrite = (m.lineWrite + 1) & (kReverbLineLength - 1);
        if (m.lineWritten < kReverbLineLength) ++m.lineWritten;

        if (p.spread == 0) wet[0] = wet[1] = wet[0] + wet[1];
        if (out0 != nullptr) out0[n] = toSample((wet[0] * mix + xl * (1.0 - mix)) * gain);
        if (out1 != nullptr) out1[n] = toSample((wet[1] * mix + xr * (1.0 - mix)) * gain);
    }
}

} // namespace corvex
