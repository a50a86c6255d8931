// The insert distortion (type 32): seven shaper modes, a damped feedback path, symmetry, mix and output.
#include "engine/modules/types/Distortion.h"

#include <cmath>
#include <cstddef>

#include "engine/dsp/ConnectionDescriptor.h"
#include "engine/dsp/ConversionCurves.h"
#include "engine/dsp/FilterLanes.h"
#include "engine/dsp/SampleGuards.h"
#include "engine/modules/BlockBufferStore.h"
#include "engine/modules/BlockSignals.h"
#include "engine/modules/EngineContext.h"
#include "engine/modules/ModulationSum.h"
#include "engine/modules/ModulePools.h"
#include "engine/modules/VoiceLaneRuns.h"

namespace corvex {

static_assert(sizeof(DistortionModule) <= sizeof(VoiceModuleWrapperA), "the distortion comes from pool 1");
static_assert(offsetof(DistortionModule, ports) == offsetof(PortedModule, ports),
              "the framework finds the ports where every ported module keeps them");

namespace {

constexpr double kHighPassDecades = 160.0; // pole 10^(-160 / rate): a corner near 59 Hz at every rate
constexpr float kSoftKnee = 1.0f / 3.0f;
constexpr float kSoftTop = 2.0f / 3.0f;
constexpr float kHardClipGain = 10000.0f;
constexpr float kExponentialDrive = 200.0f;
constexpr double kExponentialCeiling = 0.01;
constexpr float kSineDriveQualityOff = 10.0f;
// No real signal comes near this (nor kLoudestDriven). A broken one (NaN, infinity, a runaway source) is held here so
// that neither the states nor the arithmetic after the shapers can overflow.
constexpr float kLoudestInput = 1e20f;
constexpr float kLargestModulation = 1e4f;

// The high-pass states are cut at the float flush level, a hair above the double one, as they always
// were: a state cut a little later would change the renders.
double flushedAtFloatFloor(double v) {
    return (v > -double(kFlushBelowFloat) && v < double(kFlushBelowFloat)) ? 0.0 : v;
}

float heldWithin(float v, float limit) {
    if (v != v) return 0.0f;
    return v > limit ? limit : (v < -limit ? -limit : v);
}

// 1 + the modulation sum, as a drive or feedback factor.
float modulationFactor(float sum) { return heldWithin(1.0f + (sum != sum ? 0.0f : sum), kLargestModulation); }

struct BlockSettings {
    float driven;   // Ke
    float feedback; // Fe
    float drive;    // k, unmodulated
    float offset;   // c
    float damping;  // d
    float mix;      // the mix after bypass
    float dry;      // 1 - mix after bypass
    float storedMix;
    float wet;    // W
    float output; // G
};

float drivenSample(float scaled, const BlockSettings& s) {
    return heldWithin(scaled * s.driven - s.offset, kLoudestDriven);
}

void runPlainSaturator(DistortionModule& m, const BlockSettings& s, const float* scaled, float* out) {
    const double a = m.highPassPole, b = m.highPassInput, k = s.drive;
    double h1 = m.inputHighPass, h2 = m.outputHighPass;
    for (int n = 0; n < kBlockFrames; ++n) {
        const double x = drivenSample(scaled[n], s);
        h1 = a * h1 + b * x;
        const double t = tanhApprox5((x - h1) * k);
        h2 = a * h2 + b * t;
        const float y = float(t - h2);
        out[n] = flushed((y * s.mix + scaled[n] * s.dry) * s.output);
    }
    m.inputHighPass = flushedAtFloatFloor(h1);
    m.outputHighPass = flushedAtFloatFloor(h2);
}

// Modes 2 to 6: the damped feedback pre-stage, the mode's shaper (given the driven input x and the
// input with feedback u), the feedback update, then the mode's own mix.
template <class Shape, class Mix>
void runWithFeedback(DistortionModule& m, const BlockSettings& s, const float* scaled, float* out, Shape shape,
                     Mix mix) {
    float state = m.feedbackState;
    for (int n = 0; n < kBlockFrames; ++n) {
        const float x = drivenSample(scaled[n], s);
        const float preStage = (1.0f - s.damping) * x + s.damping * state;
        const float u = x + s.feedback * preStage;
        const float y = flushed(shape(x, u));
        state = float(tanhApprox6(double(s.feedback) * y));
        out[n] = flushed(mix(scaled[n], y));
    }
    m.feedbackState = flushed(state);
}

void runMode(DistortionModule& m, const DistortionParams& p, const BlockSettings& s, const float* scaled,
             float* out) {
    switch (p.mode) {
    case 0: // oversampled (quality on) in the voice lanes
        runPlainSaturator(m, s, scaled, out);
        return;
    case 1:
        for (int n = 0; n < kBlockFrames; ++n) out[n] = flushed(scaled[n]);
        return;
    case 2:
        runWithFeedback(m, s, scaled, out, [](float, float u) { return distortionSoftClip(u); },
                        [&s](float dry, float y) { return y * s.mix * s.mix * s.output + dry * s.dry; });
        return;
    case 3:
        if (p.quality != 0) {
            runWithFeedback(m, s, scaled, out, [&s](float, float u) { return std::sin(s.driven * u); },
                            [&s](float dry, float y) { return y * s.mix * s.wet * s.output + dry * s.dry; });
        } else {
            runWithFeedback(
                m, s, scaled, out, [&s](float, float u) { return std::sin(kSineDriveQualityOff * s.driven * u); },
                [&s](float dry, float y) { return (dry * s.dry + y * s.mix * s.wet) * s.output; });
        }
        return;
    case 4:
        runWithFeedback(
            m, s, scaled, out,
            [&s](float, float u) {
                const float w = u * s.driven * kHardClipGain;
                if (std::fabs(w) < 1.0f) return w * (1.5f - 0.5f * w * w);
                return w > 0.0f ? 1.0f : -1.0f;
            },
            [&s](float dry, float y) { return dry * (1.0f - s.storedMix) + y * s.storedMix * s.wet; });
        return;
    case 5:
        runWithFeedback(
            m, s, scaled, out,
            [&s](float x, float) { return float(distortionExponential(double(kExponentialDrive * s.driven * x))); },
            [&s](float dry, float y) { return dry * s.dry + y * s.mix * s.wet; });
        return;
    case 6:
        runWithFeedback(
            m, s, scaled, out, [](float, float u) { return u < 0.0f ? 0.0f : (u < 1.0f ? u : 1.0f); },
            [&s](float dry, float y) { return dry * (1.0f - s.storedMix) + y * s.storedMix * s.wet; });
        return;
    default:
        silence(out);
        return;
    }
}

} // namespace

float distortionSoftClip(float u) {
    const float magnitude = std::fabs(u);
    if (magnitude <= kSoftKnee) return 2.0f * u;
    if (!(magnitude < kSoftTop)) return u < 0.0f ? -1.0f : 1.0f; // NaN included: the clipper's bound
    const float bend = 2.0f - 3.0f * magnitude;
    const float y = (3.0f - bend * bend) / 3.0f;
    return u < 0.0f ? -y : y;
}

// The cubic series of e^q stands in for the exponential of 1 - e^-|p|, whose ceiling is 1. Past the
// point where the series crosses that ceiling it would grow with |p|^3; it stays at the ceiling instead.
double distortionExponential(double p) {
    if (!(p != 0.0)) return 0.0; // 0 and NaN
    const double q = -std::fabs(p);
    const double series = q > -2.0 ? 1.0 + q + q * q * 0.5 + q * q * q * double(1.0f / 6.0f) : -1.0;
    double magnitude = 1.0 - series;
    if (magnitude > 1.0) magnitude = 1.0;
    return (p > 0.0 ? -magnitude : magnitude) * kExponentialCeiling;
}

void initDistortion(void* module, EngineContext* context) {
    auto& m = *static_cast<DistortionModule*>(module);
    m.feedbackState = 0.0f;
    m.firstStage.reset();
    m.secondStage.reset();
    const float rate = context != nullptr && context->sampleRate > 0.0f ? context->sampleRate : 44100.0f;
    m.highPassPole = double(std::pow(10.0f, float(-kHighPassDecades) / rate));
    m.highPassInput = 1.0 - m.highPassPole;
    m.inputHighPass = 0.0;
    m.outputHighPass = 0.0;
}

namespace {

// Everything of a block up to the oversampled saturator's per-sample loop, which the other modes
// run here too. True when the block still needs that loop.
bool prepareBlock(DistortionModule& m, const ConnectionDescriptor* descriptors, const PortEntry* const* sources,
                  const uint32_t* counts, DistortionLane& lane) {
    if (m.ports[0].users() == 0 && m.ports[1].users() == 0) return false;
    if (counts == nullptr || descriptors == nullptr || sources == nullptr || m.head.record == nullptr) return false;
    float* out = portBuffer(m.ports[0]);
    if (out == nullptr) return false;
    if (counts[DistortionInput::Unread] > 0 && portBuffer(m.ports[1]) == nullptr) return false;
    // Only the first connection of the audio input plays. Without one, the shapers would turn the
    // symmetry offset alone into a constant: the effect is silent instead.
    const float* in = counts[DistortionInput::Audio] > 0 && sources[0] != nullptr ? portBuffer(*sources[0]) : nullptr;
    const DistortionParams& p = m.head.record->as<DistortionParams>();
    if (in == nullptr || p.mode < 0 || p.mode >= kDistortionModes) {
        silence(out);
        return false;
    }

    const uint32_t at = counts[DistortionInput::Audio] + counts[DistortionInput::Unread];
    float sums[2];
    sumBlockModulation(descriptors + at, sources + at, counts + DistortionInput::Drive, 2, sums);
    m.driveNow = p.drive * modulationFactor(sums[0]);
    m.feedbackNow = p.feedback * modulationFactor(sums[1]);

    BlockSettings s;
    s.driven = m.driveNow;
    s.feedback = m.feedbackNow;
    s.drive = p.drive;
    s.offset = p.symmetry;
    s.damping = p.damping;
    s.storedMix = p.mix;
    s.mix = p.bypass == 1 ? 0.0f : p.mix;
    s.dry = 1.0f - s.mix;
    s.wet = p.wetGain;
    s.output = p.outputGain;

    const float level = descriptors[0].amount();
    float* scaled = lane.scaled;
    for (int n = 0; n < kBlockFrames; ++n) scaled[n] = heldWithin(in[n], kLoudestInput) * level;
    if (p.mode != 0 || p.quality == 0) {
        runMode(m, p, s, scaled, out);
        return false;
    }
    lane.out = out;
    lane.driven = s.driven;
    lane.offset = s.offset;
    lane.dry = s.dry;
    lane.wetMix = s.wet * s.mix;
    lane.output = s.output;
    lane.drive = s.drive;
    lane.pole = m.highPassPole;
    lane.input = m.highPassInput;
    lane.inputHighPass = m.inputHighPass;
    lane.outputHighPass = m.outputHighPass;
    m.firstStage.window(lane.firstWindow);
    m.secondStage.window(lane.secondWindow);
    return true;
}

void finishBlock(DistortionModule& m, const DistortionLane& lane) {
    m.firstStage.setWindow(lane.firstWindow);
    m.secondStage.setWindow(lane.secondWindow);
    m.inputHighPass = lane.inputHighPass;
    m.outputHighPass = lane.outputHighPass;
}

} // namespace

void processDistortion(void* module, const ConnectionDescriptor* descriptors, const PortEntry* const* sources,
                       const uint32_t* counts) {
    auto& m = *static_cast<DistortionModule*>(module);
    DistortionLane lane;
    if (!prepareBlock(m, descriptors, sources, counts, lane)) return;
    distortionOneLane(lane);
    finishBlock(m, lane);
}

void processDistortions(void* const* modules, int count, const ConnectionDescriptor* descriptors,
                        const PortEntry* const* const* sources, const uint32_t* counts) {
    runInLanes<DistortionModule>(modules, count, descriptors, sources, counts, filterLaneKernels().distortion,
                                 prepareBlock, finishBlock);
}

} // namespace corvex
