// The audio oscillator of a voice (type 3): five ports, a block-rate and an audio-rate pitch path, hard sync.
#include "engine/modules/types/Oscillator.h"

#include <cmath>
#include <cstddef>
#include <type_traits>

#include "engine/dsp/ConversionCurves.h"
#include "engine/dsp/ModuleValues.h"
#include "engine/modules/EchoCodes.h"
#include "engine/modules/ModulationSum.h"
#include "engine/modules/EngineContext.h"
#include "engine/modules/BlockBufferStore.h"
#include "engine/modules/ModulePools.h"
#include "engine/modules/VoiceLaneRuns.h"
#include "engine/modules/types/OscillatorLaneSteps.h"

namespace corvex {

static_assert(offsetof(COscillator, ports) == offsetof(PortedModule, ports),
              "the framework finds the ports where every ported module keeps them");
static_assert(std::is_same<decltype(ModulePools::oscillators), ModulePool<COscillator, 64>>::value,
              "pool 0 holds the oscillator itself, 64 of them: two for each of 32 voices");

namespace {

constexpr int kBlockWords = 19; // the last parameter is word 18
constexpr uint32_t kStateMarker = 0x05C11A70u;

constexpr float kModeGain = 0.2973f; // twice this is 2^(-9/12): pitch 0 sounds a sixth below the tuning
constexpr float kLowFrequencyHz = 26.0f;

// Frequencies are held where every period stays a positive, finite number of samples.
constexpr float kLowestFrequency = 4.0f;
constexpr float kFoldFrequency = 19000.0f; // this and above ...
constexpr float kHighestFrequency = 17900.0f; // ... play here
constexpr float kLowestSlowFrequency = 0.01f;
// Keeps the phase step below half a cycle at rates far under 44.1 kHz, where 17900 Hz would
// pass Nyquist; at 44.1 kHz and above it never applies.
constexpr float kHighestShareOfRate = 0.45f;

constexpr float kAudioPitchScale = 1.7f;
constexpr float kLinearFmHz = 10.0f;
constexpr float kDetuneOffset = 0.3f;
constexpr float kDetuneHz = 0.085f;

constexpr float kWidthSmoothing = 0.05f;
constexpr float kPwmCentre = 0.506f;

constexpr float kTriangleGainPerHz = 0.0023076923f;
constexpr float kTriangleLevel = 0.05f;
constexpr float kAddedRampLevel = 0.03f;

// Above this the integrator and its tracker move down together; their difference is the output.
constexpr float kRecentreAbove = 1024.0f;
constexpr float kSmallest = 1e-30f;

constexpr float PulseWidthCurve[7] = {0.5040864f, 0.5164f, 0.61195f, 0.7194f, 0.82095f, 0.922459f, 0.9701198f};
constexpr float PwmDepthCurve[7] = {0.0f, 0.0119f, 0.1107f, 0.2164f, 0.3232f, 0.4310f, 0.4671f};
constexpr float CoarseTuneCurve[4] = {-12.0f, 0.0f, 12.0f, 24.0f};

template <int N>
float curvePoint(const float (&points)[N], float v) {
    if (v >= 1.0f) return points[N - 1];
    if (!(v >= 0.0f)) return points[0];
    const float t = float(N - 1) * v;
    int i = int(t);
    if (i > N - 2) i = N - 2;
    const float f = t - float(i);
    return (1.0f - f) * points[i] + f * points[i + 1];
}

float coarseRatioOf(int16_t word, int32_t mode) {
    float semitones = curvePoint(CoarseTuneCurve, wordValue(word));
    if (mode != 0) semitones = std::trunc(semitones);
    return semitonesToRatio(semitones);
}

void updateFrequencyFactor(OscillatorParams& p) {
    p.frequencyFactor = 2.0f * p.modeGain * p.coarseRatio * p.fineTune * semitonesToRatio(p.octave);
}

float clampFrequency(float f, float lowest, float highest) {
    f = f > lowest ? f : lowest; // NaN lands here too
    f = f < kFoldFrequency ? f : kHighestFrequency;
    return f < highest ? f : highest;
}

typedef float Float4 __attribute__((vector_size(16)));

// x > low ? x : low and x < high ? x : high, a NaN giving the bound: what the processor's own
// maximum and minimum do with their operands in this order.
inline Float4 raisedTo(Float4 x, Float4 low) {
#if defined(__SSE__)
    return __builtin_ia32_maxps(x, low);
#else
    return x > low ? x : low;
#endif
}
inline Float4 loweredTo(Float4 x, Float4 high) {
#if defined(__SSE__)
    return __builtin_ia32_minps(x, high);
#else
    return x < high ? x : high;
#endif
}

// clampFrequency for four samples: the same comparisons, so the same values.
struct FrequencyRange {
    Float4 low, high, fold, folded;
    FrequencyRange(float lowest, float highest)
        : low(Float4{} + lowest), high(Float4{} + highest), fold(Float4{} + kFoldFrequency),
          folded(Float4{} + kHighestFrequency) {}
    Float4 operator()(Float4 x) const {
        x = raisedTo(x, low);
        x = x < fold ? x : folded;
        return loweredTo(x, high);
    }
};

inline Float4 loadFour(const float* p) {
    Float4 x;
    __builtin_memcpy(&x, p, sizeof x);
    return x;
}

// A block's frequencies, held in range: the pitch's (one for the block, or one per sample), plus the
// linear modulation's hertz and the detune, in that order.
void sumFrequencies(float* f, const float* ratios, float tuned, const float* linear, float linearAmount,
                    float detune, const FrequencyRange& range) {
    for (int k = 0; k < kBlockFrames; k += 4) {
        const Float4 x = loadFour(ratios + k) * tuned + (loadFour(linear + k) * linearAmount + detune);
        const Float4 held = range(x);
        __builtin_memcpy(f + k, &held, sizeof held);
    }
}
void sumFrequencies(float* f, float base, const float* linear, float linearAmount, float detune,
                    const FrequencyRange& range) {
    for (int k = 0; k < kBlockFrames; k += 4) {
        const Float4 x = base + (loadFour(linear + k) * linearAmount + detune);
        const Float4 held = range(x);
        __builtin_memcpy(f + k, &held, sizeof held);
    }
}
void holdFrequencies(float* f, const FrequencyRange& range) {
    for (int k = 0; k < kBlockFrames; k += 4) {
        const Float4 held = range(loadFour(f + k));
        __builtin_memcpy(f + k, &held, sizeof held);
    }
}

void refreshCoefficients(COscillator& m, float rate) {
    m.coefficientRate = rate;
    m.inverseRate = 1.0f / rate;
    m.trackerCoefficient = float(std::pow(20.0, -320.0 / double(rate)));
    m.toneCoefficient1 = float(std::pow(150.0, -2400.0 / double(rate)));
    m.toneCoefficient2 = float(std::pow(250.0, -4000.0 / double(rate)));
}

void flushSmall(float& v) {
    if (v > -kSmallest && v < kSmallest) v = 0.0f;
}

float rangeFactor(const ConnectionDescriptor& d) {
    const int n = d.rangeFactorNumber();
    return (n >= 0 && n < kModulationRangeCount) ? ModulationRangeTable[n] : 0.0f;
}

const float* samplesOf(const PortEntry* source) { return source ? portBuffer(*source) : nullptr; }

// Where each input's connections lie among the slot's: the same for every voice of the slot, so
// a run of voices works it out once.
struct InputShape {
    const ConnectionDescriptor* descriptors[OscillatorInput::Count] = {};
    uint32_t first[OscillatorInput::Count] = {};
    uint32_t count[OscillatorInput::Count] = {};

    constexpr InputShape() = default;
    InputShape(const ConnectionDescriptor* d, const uint32_t* counts) {
        if (counts == nullptr || d == nullptr) return;
        uint32_t at = 0;
        for (int i = 0; i < OscillatorInput::Count; ++i) {
            descriptors[i] = d + at;
            first[i] = at;
            count[i] = counts[i];
            at += counts[i];
        }
    }
};

constexpr InputShape kNoInputs{};

// The connections of one block, split by input: the shape bound to one voice's sources, and a voice
// without sources has no connections. Left unset until read: a run keeps room for many voices' plans
// and fills only those it prepares.
struct Inputs {
    const InputShape* shape;
    const PortEntry* const* bound;

    void read(const InputShape& s, const PortEntry* const* sources) {
        shape = sources != nullptr ? &s : &kNoInputs;
        bound = sources;
    }
    bool wired() const { return bound != nullptr && shape->descriptors[0] != nullptr; }
    uint32_t count(int input) const { return shape->count[input]; }
    const PortEntry* source(int input, uint32_t i) const { return bound[shape->first[input] + i]; }
    const ConnectionDescriptor& descriptor(int input, uint32_t i) const { return shape->descriptors[input][i]; }
    const PortEntry* first(int input) const { return count(input) > 0 ? source(input, 0) : nullptr; }
    float firstAmount(int input) const { return count(input) > 0 ? descriptor(input, 0).amount() : 0.0f; }
};

// What the one port written this block receives.
enum class Fill { Nothing, Sawtooth, Pulse, Triangle, PassThrough, Sine };

int32_t selectorOf(const OscillatorParams& p, int port) {
    return port < kOscillatorWavePorts ? p.portWave[port] : p.spareInt;
}

// The first port with a buffer takes the first waveform any read port asked for, in this order,
// whatever its own selector; its own selector counts only for the pass-through.
Fill chooseFill(const OscillatorParams& p, float* const* buffers, unsigned marks, int& port) {
    for (port = 0; port < kOscillatorPorts; ++port) {
        if (buffers[port] == nullptr) continue;
        if (marks & (1u << OscillatorWave::Sawtooth)) return Fill::Sawtooth;
        if (marks & (1u << OscillatorWave::Pulse)) return Fill::Pulse;
        if (marks & (1u << OscillatorWave::Triangle)) return Fill::Triangle;
        if (selectorOf(p, port) == OscillatorWave::PassThrough) return Fill::PassThrough;
        if (marks & (1u << OscillatorWave::Sine)) return Fill::Sine;
    }
    port = -1;
    return Fill::Nothing;
}

void readRing(DelayRing& ring, float* out, float sign) {
    const int r = ring.read;
    if (r + kBlockFrames <= kRingSize) {
        for (int k = 0; k < kBlockFrames; ++k) out[k] = sign * ring.data[r + k];
    } else {
        for (int k = 0; k < kBlockFrames; ++k) out[k] = sign * ring.data[(r + k) & kRingMask];
    }
    ring.read = (r + kBlockFrames) & kRingMask;
}

// The integrated square (or pulse), with the integrator's drift tracked out; a faint ramp under it
// below 5 kHz, as under the sine.
void renderTriangle(COscillator& m, const OscillatorBlock& b, DelayRing& source, float* out) {
    const float c = m.trackerCoefficient;
    float ramp = m.triangleRamp;
    float increment = m.triangleIncrement;
    float integrator = m.triangleIntegrator;
    float tracker = m.triangleTracker;
    const float steadyShare = addedRampShare(b.frequency[0]);
    int r = source.read;
    for (int k = 0; k < kBlockFrames; ++k) {
        ramp -= increment;
        if (ramp < -0.5f) ramp += 1.0f;
        const float f = b.audioRate ? b.frequency[k] : b.frequency[0];
        increment = f * b.inverseRate;
        integrator += f * kTriangleGainPerHz * source.data[r];
        r = (r + 1) & kRingMask;
        tracker = (1.0f - c) * integrator + c * tracker;
        const float share = b.audioRate ? addedRampShare(f) : steadyShare;
        out[k] = (integrator - tracker) * kTriangleLevel + kAddedRampLevel * ramp * share;
    }
    // A pulse of any width but a half has a mean, so the integrator runs away; moving it and the
    // tracker together keeps the output and the precision.
    if (std::fabs(integrator) > kRecentreAbove) {
        tracker -= integrator;
        integrator = 0.0f;
    }
    source.read = r;
    m.triangleRamp = ramp;
    m.triangleIncrement = increment;
    m.triangleIntegrator = integrator;
    m.triangleTracker = tracker;
}

void passThrough(const Inputs& in, float* out) {
    const PortEntry* source = in.first(OscillatorInput::PassThrough);
    const float amount = in.firstAmount(OscillatorInput::PassThrough);
    if (const float* x = samplesOf(source)) {
        for (int k = 0; k < kBlockFrames; ++k) out[k] = x[k] * amount;
        return;
    }
    // A block-rate source passes its one value; nothing connected passes silence.
    const float v = (source != nullptr && source->isValuePort()) ? source->value * amount : 0.0f;
    for (int k = 0; k < kBlockFrames; ++k) out[k] = v;
}

// A fixed colour for the audio-rate path's output: a low-passed copy beside a high-passed one.
void takeTone(COscillator& m, float* io, ToneLane& lane) {
    lane.io = io;
    lane.coefficient[0] = m.toneCoefficient1;
    lane.coefficient[1] = m.toneCoefficient2;
    lane.state[0] = m.toneLow1;
    lane.state[1] = m.toneLow2;
}

void finishTone(COscillator& m, const ToneLane& lane) {
    m.toneLow1 = lane.state[0];
    m.toneLow2 = lane.state[1];
}

// The pulse width this block aims at: the setting, or with a modulation route the route's depth
// around a fixed centre. Held to a real share of the period. Inlined, as the block's preparation is.
[[gnu::always_inline]] inline
float widthTarget(const OscillatorParams& p, const Inputs& in, float modulation) {
    float w = p.pulseWidth;
    if (in.count(OscillatorInput::PulseWidth) > 0) {
        const float depth = curvePoint(PwmDepthCurve, in.firstAmount(OscillatorInput::PulseWidth));
        w = kPwmCentre + depth * (1.0f - modulation) * 0.5f;
    }
    if (!(w >= 0.0f)) return w < 0.0f ? 0.0f : 0.5f;
    return w > 1.0f ? 1.0f : w;
}

// Fills b.frequency: sample 0 only in the block-rate path. Returns whether the path is audio rate.
// This and the other per-voice steps below are inlined into the run's loops: they run for every voice of
// every block, and a call's saved and restored registers cost more than many of their lines.
[[gnu::always_inline]] inline
bool blockFrequencies(COscillator& m, const OscillatorParams& p, const EngineContext& context, const Inputs& in,
                      float pitch, bool pitchSampled, OscillatorBlock& b) {
    // Audio-rate pitch sources each add their own samples on top of the block-rate sum; the sum has
    // told whether there are any.
    bool audioRate = false;
    bool modulated = false;
    float semitones[kBlockFrames];
    const uint32_t pitchSources = pitchSampled ? in.count(OscillatorInput::Pitch) : 0;
    for (uint32_t i = 0; i < pitchSources; ++i) {
        const PortEntry* source = in.source(OscillatorInput::Pitch, i);
        if (source == nullptr || source->isValuePort()) continue;
        audioRate = true;
        const ConnectionDescriptor& d = in.descriptor(OscillatorInput::Pitch, i);
        const float scale = d.amount() * rangeFactor(d) * kAudioPitchScale;
        const float* x = portBuffer(*source);
        if (x == nullptr || scale == 0.0f) continue;
        if (!modulated)
            for (float& s : semitones) s = pitch;
        modulated = true;
        for (int k = 0; k < kBlockFrames; ++k) semitones[k] += (x[k] + 0.5f) * scale;
    }

    // Each voice sits a fixed distance off, odd voices three times as far and all of them flat.
    const int voice = m.head.initArgument();
    if (m.detuneVoice != voice) {
        m.detuneVoice = voice;
        m.detuneScale = std::log(float(voice + 1)) * ((voice & 1) ? -3.0f : -1.0f) * kDetuneHz;
    }
    const float detune = (context.detuneAmount + kDetuneOffset) * m.detuneScale;
    const float tuned = context.tuning * p.frequencyFactor;
    const float linearAmount = in.firstAmount(OscillatorInput::LinearFm) * kLinearFmHz;
    const PortEntry* linearSource = in.first(OscillatorInput::LinearFm);
    const float* linear = samplesOf(linearSource);
    const float linearValue =
        (linear == nullptr && linearSource != nullptr && linearSource->isValuePort()) ? linearSource->value : 0.0f;

    const int frames = audioRate ? kBlockFrames : 1;
    const float highest = b.rate * kHighestShareOfRate;
    if (p.lowFrequencyOn != 0 && p.mode == kLowFrequencyMode) {
        const float slow = clampFrequency(p.frequencyFactor * kLowFrequencyHz, kLowestSlowFrequency, highest);
        for (int k = 0; k < frames; ++k) b.frequency[k] = slow;
        return audioRate;
    }
    // The pitch's frequency, plus the linear modulation's hertz and the detune, held in range: one pass.
    if (modulated) {
        // Only an audio-rate pitch source sets this, so the block has all its samples.
        float ratios[kBlockFrames];
        semitonesToRatios(semitones, ratios);
        if (linear != nullptr) {
            sumFrequencies(b.frequency, ratios, tuned, linear, linearAmount, detune, {kLowestFrequency, highest});
        } else {
            const float hertz = linearValue * linearAmount + detune;
            for (int k = 0; k < kBlockFrames; ++k) b.frequency[k] = ratios[k] * tuned + hertz;
            holdFrequencies(b.frequency, {kLowestFrequency, highest});
        }
    } else if (linear != nullptr && audioRate) {
        sumFrequencies(b.frequency, semitonesToRatio(pitch) * tuned, linear, linearAmount, detune,
                       {kLowestFrequency, highest});
    } else if (linear != nullptr) {
        const float base = semitonesToRatio(pitch) * tuned;
        b.frequency[0] = clampFrequency(base + (linear[0] * linearAmount + detune), kLowestFrequency, highest);
    } else {
        const float f = clampFrequency(semitonesToRatio(pitch) * tuned + (linearValue * linearAmount + detune),
                                       kLowestFrequency, highest);
        for (int k = 0; k < frames; ++k) b.frequency[k] = f;
    }
    return audioRate;
}

} // namespace

void initOscillator(void* module, EngineContext* context) {
    auto& m = *static_cast<COscillator*>(module);
    for (DelayRing* ring : {&m.sawRing, &m.pulseRing, &m.squareRing})
        for (float& v : ring->data) v = 0.0f;
    for (float& v : m.syncedSineRing) v = 0.0f;
    m.syncedSineSum = 0.0f;
    m.syncedSineTracker = 0.0f;
    m.syncedSineWrite = 0;
    m.syncedSineRead = 0;
    m.decimator.clear();
    m.sineRamp = 0.0f;
    m.sineRampIncrement = 0.0f;
    m.triangleIntegrator = 0.0f;
    m.triangleTracker = 0.0f;
    m.triangleRamp = 0.0f;
    m.triangleIncrement = 0.0f;
    m.toneLow1 = 0.0f;
    m.toneLow2 = 0.0f;
    m.syncBuffer = nullptr;
    m.syncWritten = ~0u;
    m.firstBlock = 1;
    m.detuneVoice = -1;
    const float rate = (context != nullptr && context->sampleRate > 0.0f) ? context->sampleRate : 44100.0f;
    refreshCoefficients(m, rate);
    if (m.marker == kStateMarker) return;

    m.marker = kStateMarker;
    for (DelayRing* ring : {&m.sawRing, &m.pulseRing, &m.squareRing}) {
        ring->read = kRingLatency;
        ring->write = 0;
    }
    // Every instance starts somewhere else in its cycle, drawn from the kernel's random source so
    // that a seeded kernel plays the same every time.
    const uint32_t first = context ? context->random.next() : 0u;
    const uint32_t second = context ? context->random.next() : 0u;
    m.sawPhase = 0.0038f * float(first & 255u);
    m.syncPhase = 0.0038f * float(second & 255u);
    m.previousFrequency = 20.0f;
    m.increment = m.previousFrequency / rate;
    m.period = rate / m.previousFrequency;
    m.period64 = std::trunc(m.period * 64.0f);
    m.pulseLevel = -0.5f;
    m.pulseCounter = 0.0f;
    m.squareLevel = -0.5f;
    m.squareCounter = 0.0f;
    m.parabola[0] = {0.01187f, 0.953f};
    m.parabola[1] = {0.01187f, 0.953f};
    m.targetWidth = 0.5f;
    m.smoothedWidth = 0.5f;
    m.previousWidth = 0.5f;
    m.pulseOrTriangle = 0.0f;
    m.sinePhase = 0.0f;
}

namespace {

// One voice's block between its preparation and its port fill.
struct Plan {
    OscillatorBlock b;
    Inputs in;
    float* buffers[kOscillatorPorts];
    Fill fill;
    int port;
    bool squareForTriangle;
    float sine[kBlockFrames];
};

// The block-rate work: the modulation sums, the frequencies, which port takes which waveform.
// `given`, when there is one, holds this voice's sums already worked out, and `givenSampled` which of
// its inputs have sources with samples.
[[gnu::always_inline]] inline
bool prepare(COscillator& m, const InputShape& shape, const ConnectionDescriptor* descriptors,
             const PortEntry* const* sources, const uint32_t* counts, Plan& plan, const float* given = nullptr,
             uint32_t givenSampled = 0) {
    if (m.head.record == nullptr || m.head.context == nullptr) return false;
    const OscillatorParams& p = m.head.record->as<OscillatorParams>();
    const EngineContext& context = *m.head.context;
    const float rate = context.sampleRate;
    if (!(rate > 0.0f)) return false;
    if (m.coefficientRate != rate) refreshCoefficients(m, rate);

    plan.in.read(shape, sources);
    const Inputs& in = plan.in;
    float own[3];
    const float* sums = given;
    uint32_t sampled = givenSampled;
    if (sums == nullptr) {
        sumBlockModulation(descriptors, sources, in.wired() ? counts : nullptr, 3, own, &sampled);
        sums = own;
    }
    const float pitch = sums[OscillatorInput::Pitch];

    const float width = widthTarget(p, in, sums[OscillatorInput::PulseWidth]);
    m.targetWidth = width;
    m.smoothedWidth += (width - m.smoothedWidth) * kWidthSmoothing;

    OscillatorBlock& b = plan.b;
    b.rate = rate;
    b.inverseRate = m.inverseRate;
    b.audioRate = blockFrequencies(m, p, context, in, pitch, (sampled >> OscillatorInput::Pitch) & 1u, b);
    if (m.firstBlock) {
        // No glide into the first block: it starts where it is meant to be.
        m.previousFrequency = b.frequency[0];
        m.smoothedWidth = width;
        m.previousWidth = width;
    }
    m.increment = b.frequency[0] * b.inverseRate;
    m.period = rate / b.frequency[0];
    m.period64 = std::trunc(m.period * 64.0f);

    // Without a sync buffer to read there is nothing to reset from: the oscillator runs free.
    b.sync = p.syncOn != 0 ? samplesOf(in.first(OscillatorInput::Sync)) : nullptr;

    unsigned marks = 0;
    for (int port = 0; port < kOscillatorPorts; ++port) {
        plan.buffers[port] = portBuffer(m.ports[port]);
        if (port < kOscillatorWavePorts && plan.buffers[port] != nullptr) {
            const int32_t selector = p.portWave[port];
            if (selector >= OscillatorWave::Sawtooth && selector <= OscillatorWave::Triangle) marks |= 1u << selector;
        }
    }
    const unsigned pulseOrTriangle = (1u << OscillatorWave::Pulse) | (1u << OscillatorWave::Triangle);
    m.pulseOrTriangle = (marks & pulseOrTriangle) ? 1.0f : 0.0f;

    // One port is written per block, so only the waveform it takes is generated: a generator
    // whose ring nobody reads would leave that ring's reader a block behind.
    plan.fill = chooseFill(p, plan.buffers, marks, plan.port);
    plan.squareForTriangle = !b.audioRate && b.sync == nullptr;
    return true;
}

void generate(COscillator& m, Plan& plan) {
    const OscillatorBlock& b = plan.b;
    switch (plan.fill) {
    case Fill::Sawtooth: generateSawtooth(m, b); break;
    case Fill::Pulse: generatePulse(m, b); break;
    case Fill::Triangle:
        if (plan.squareForTriangle)
            generateSquare(m, b);
        else
            generatePulse(m, b);
        break;
    case Fill::Sine: generateSine(m, b, plan.sine); break;
    case Fill::PassThrough:
    case Fill::Nothing: break;
    }
}

// Writes the port the block fills; answers the port's block when it still takes the tone colour.
[[gnu::always_inline]] inline
float* fillPort(COscillator& m, Plan& plan) {
    const int port = plan.port;
    if (port < 0) return nullptr;
    float* out = plan.buffers[port];
    switch (plan.fill) {
    case Fill::Sawtooth: readRing(m.sawRing, out, -1.0f); break;
    case Fill::Pulse: readRing(m.pulseRing, out, 1.0f); break;
    case Fill::Triangle: renderTriangle(m, plan.b, plan.squareForTriangle ? m.squareRing : m.pulseRing, out); break;
    case Fill::PassThrough: passThrough(plan.in, out); break;
    case Fill::Sine:
        for (int k = 0; k < kBlockFrames; ++k) out[k] = plan.sine[k];
        break;
    case Fill::Nothing: break;
    }
    // A waveform written over the sync port leaves it no longer zero between the wraps.
    if (port == kOscillatorSyncPort) m.syncBuffer = nullptr;
    return plan.b.audioRate && port == 0 ? out : nullptr;
}

// A state is flushed after every block that moved it; one left alone was flushed when it last moved.
void endBlock(COscillator& m, const Plan& plan, bool toned) {
    m.previousFrequency = plan.b.frequency[0];
    m.previousWidth = m.smoothedWidth;
    m.firstBlock = 0;
    if (toned) {
        flushSmall(m.toneLow1);
        flushSmall(m.toneLow2);
    }
    if (plan.fill == Fill::Triangle) flushSmall(m.triangleTracker);
    if (plan.fill == Fill::Sine) flushSmall(m.syncedSineTracker);
}

} // namespace

void processOscillator(void* module, const ConnectionDescriptor* descriptors, const PortEntry* const* sources,
                       const uint32_t* counts) {
    auto& m = *static_cast<COscillator*>(module);
    Plan plan;
    const InputShape shape(descriptors, counts);
    if (!prepare(m, shape, descriptors, sources, counts, plan)) return;
    generate(m, plan);
    if (float* sync = plan.buffers[kOscillatorSyncPort])
        generateSyncOutput(m, plan.b, sync);
    else
        advanceSyncPhase(m, plan.b);
    float* toned = fillPort(m, plan);
    if (toned != nullptr) {
        ToneLane lane;
        takeTone(m, toned, lane);
        toneOneLane(lane);
        finishTone(m, lane);
    }
    endBlock(m, plan, toned != nullptr);
}

// Each voice's block-rate work alone; the sawtooth and sync loops of all the voices together, one voice
// per lane; the other waveforms, which the initial sound never plays, a voice at a time.
static_assert(kVoicesPerLaneRun <= kVoicesPerModulationSum, "one call sums a run's voices");

void processOscillators(void* const* modules, int count, const ConnectionDescriptor* descriptors,
                        const PortEntry* const* const* sources, const uint32_t* counts) {
    if (count == 1) {
        processOscillator(modules[0], descriptors, sources[0], counts);
        return;
    }
    const OscillatorLaneKernels& kernels = oscillatorLaneKernels();
    const InputShape shape(descriptors, counts);
    for (int first = 0; first < count; first += kVoicesPerLaneRun) {
        const int n = count - first < kVoicesPerLaneRun ? count - first : kVoicesPerLaneRun;
        Plan plans[kVoicesPerLaneRun];
        bool prepared[kVoicesPerLaneRun];
        SawtoothLoop loops[kVoicesPerLaneRun];
        SteppedSawLane stepped[kVoicesPerLaneRun];
        ParabolaSawLane parabolas[kVoicesPerLaneRun];
        SyncLane syncs[kVoicesPerLaneRun];
        ToneLane tones[kVoicesPerLaneRun];
        bool toned[kVoicesPerLaneRun];
        int steppedCount = 0, parabolaCount = 0, syncCount = 0, toneCount = 0;
        // The voices' modulation sums at once: they share their connections' scales.
        float sums[kVoicesPerLaneRun][3];
        uint32_t sampled[kVoicesPerLaneRun];
        bool wired = counts != nullptr && descriptors != nullptr;
        for (int v = 0; v < n; ++v) wired = wired && sources[first + v] != nullptr;
        if (wired) sumBlockModulationOfVoices(descriptors, sources + first, 0, n, counts, 3, &sums[0][0], sampled);
        for (int v = 0; v < n; ++v) {
            auto& m = *static_cast<COscillator*>(modules[first + v]);
            Plan& plan = plans[v];
            prepared[v] = prepare(m, shape, descriptors, sources[first + v], counts, plan, wired ? sums[v] : nullptr,
                                  wired ? sampled[v] : 0u);
            loops[v] = SawtoothLoop::Other;
            if (!prepared[v]) continue;
            if (plan.fill == Fill::Sawtooth) loops[v] = sawtoothLoopOf(plan.b);
            if (loops[v] == SawtoothLoop::Stepped)
                takeSteppedSaw(m, plan.b, stepped[steppedCount++]);
            else if (loops[v] == SawtoothLoop::Parabola)
                takeParabolaSaw(m, plan.b, parabolas[parabolaCount++]);
            else
                generate(m, plan);
            if (float* sync = plan.buffers[kOscillatorSyncPort])
                takeSync(m, plan.b, sync, syncs[syncCount++]);
            else
                advanceSyncPhase(m, plan.b);
        }
        if (steppedCount > 0) kernels.steppedSaw(stepped, steppedCount);
        if (parabolaCount > 0) kernels.parabolaSaw(parabolas, parabolaCount);
        if (syncCount > 0) kernels.sync(syncs, syncCount);
        steppedCount = parabolaCount = syncCount = 0;
        for (int v = 0; v < n; ++v) {
            if (!prepared[v]) continue;
            auto& m = *static_cast<COscillator*>(modules[first + v]);
            if (loops[v] == SawtoothLoop::Stepped) finishSteppedSaw(m, stepped[steppedCount++]);
            if (loops[v] == SawtoothLoop::Parabola) finishParabolaSaw(m, parabolas[parabolaCount++]);
            if (plans[v].buffers[kOscillatorSyncPort] != nullptr) finishSync(m, syncs[syncCount++]);
            float* io = fillPort(m, plans[v]);
            toned[v] = io != nullptr;
            if (toned[v]) takeTone(m, io, tones[toneCount++]);
        }
        if (toneCount > 0) kernels.tone(tones, toneCount);
        toneCount = 0;
        for (int v = 0; v < n; ++v) {
            if (!prepared[v]) continue;
            auto& m = *static_cast<COscillator*>(modules[first + v]);
            if (toned[v]) finishTone(m, tones[toneCount++]);
            endBlock(m, plans[v], toned[v]);
        }
    }
}

void loadOscillatorBlock(const uint16_t* data, int wordCount, ParameterRecord* record, EngineContext* context) {
    if (data == nullptr || record == nullptr || wordCount < kBlockWords) return;
    auto word = [data](int j) { return int16_t(data[j + 2]); };
    float echo = 0.0f;
    int code = echo::Decibels;
    // The mode first: the coarse ratio and the pulse width are read through it.
    setOscillatorParameter(word(3), 3, &echo, &code, record, context);
    for (int j = 7; j < kBlockWords; ++j) setOscillatorParameter(word(j), j, &echo, &code, record, context);
}

void setOscillatorParameter(int16_t value, int parameter, float* echoValue, int* echoCode, ParameterRecord* record,
                            EngineContext*) {
    if (record == nullptr) return;
    OscillatorParams& p = record->as<OscillatorParams>();
    float echo = float(value);
    int code = echo::Selection;
    switch (parameter) {
    case 3:
        p.mode = value;
        p.modeGain = kModeGain;
        break;
    case 7:
        p.octave = float(value) * 12.0f;
        updateFrequencyFactor(p);
        echo = p.octave;
        code = echo::Semitones;
        break;
    case 8:
        p.pulseWidth = p.mode == kLowFrequencyMode ? curvePoint(PulseWidthCurve, wordValue(value)) : wordValue(value);
        echo = p.pulseWidth;
        code = echo::Fraction;
        break;
    case 9:
        p.fineTune = (wordValue(value) - 0.5f) * 0.1f + 1.0f;
        updateFrequencyFactor(p);
        echo = p.fineTune;
        code = echo::Fraction;
        break;
    case 10:
        p.coarseRatio = coarseRatioOf(value, p.mode);
        updateFrequencyFactor(p);
        echo = std::trunc(17.316f * std::log(p.coarseRatio));
        code = echo::Semitones;
        break;
    case 11:
        p.syncOn = value;
        code = echo::Switch;
        break;
    case 12: case 13: case 14: case 15:
        p.portWave[parameter - 12] = value;
        break;
    case 16:
        p.spareInt = value;
        code = echo::Switch;
        break;
    case 17:
        p.lowFrequencyOn = value;
        break;
    case 18:
        p.spareFraction = wordValue(value);
        echo = p.spareFraction;
        code = echo::Fraction;
        break;
    default:
        return;
    }
    if (echoValue) *echoValue = echo;
    if (echoCode) *echoCode = code;
}

} // namespace corvex
