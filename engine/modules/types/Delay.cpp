// The stereo delay (type 28, "St. Delay"): two long lines with damped, soft-clipped feedback and cross-feed.
#include "engine/modules/types/Delay.h"

#include <cmath>
#include <cstddef>

#include "engine/dsp/ConnectionDescriptor.h"
#include "engine/dsp/ConversionCurves.h"
#include "engine/dsp/ModuleValues.h"
#include "engine/dsp/SampleGuards.h"
#include "engine/dsp/TempoSync.h"
#include "engine/modules/BlockBufferStore.h"
#include "engine/modules/BlockSignals.h"
#include "engine/modules/EchoCodes.h"
#include "engine/modules/EngineContext.h"
#include "engine/modules/ModulePools.h"
#include "engine/modules/types/EffectTail.h"

namespace corvex {

static_assert(sizeof(DelayModule) <= sizeof(VoiceModuleWrapperF), "the delay comes from pool 6");
static_assert(offsetof(DelayModule, ports) == offsetof(PortedModule, ports),
              "the framework finds the ports where every ported module keeps them");

namespace {

constexpr int kBlockWords = 21;

// Samples at 44.1 kHz at x = 0, 0.1, ..., 1.0; the free time is twice the curve.
constexpr float kTimeCurve[11] = {200.0f,   400.0f,   800.0f,   1600.0f,  3200.0f, 6400.0f,
                                  12800.0f, 17000.0f, 22050.0f, 44100.0f, 88200.0f};
constexpr float kCurve15[11] = {0.01f, 0.01f, 0.01f, 0.01f, 0.5f, 0.76f, 0.99f, 1.01f, 1.03f, 1.0f, 1.0f};

constexpr double kGlide = 0.0001; // per 44.1 kHz sample: time changes bend the repeats rather than jump
// The damping filter runs twice per sample, as if at twice the rate.
constexpr double kHighestCutoffShare = 0.25;
// Far above anything the clipped line lets the filter reach; past it the filter starts afresh.
constexpr double kRunaway = 1e100;

// Integer settings echo the word as an unsigned 32-bit number after sign extension.
float integerEcho(int16_t word) { return float(uint32_t(int32_t(word))); }

double heldLength(double samples) {
    if (!(samples >= kShortestDelay)) return kShortestDelay; // NaN lands here too
    return samples > kLongestDelay ? kLongestDelay : samples;
}

void timeEcho(const DelayParams& p, int channel, float* echo, int* code) {
    if (p.sync != 0.0f) {
        *echo = p.syncCode[channel]; *code = echo::TempoRatio;
    } else {
        *echo = p.freeTime[channel] / float(kReferenceRate) * 1000.0f; *code = echo::Milliseconds;
    }
}

// Its bypass echoes as its other integer settings do, so it keeps its own case.
constexpr EffectTail kTail{17, 19, EffectTail::kNone};

// With link on, channel 0's time, feedback and cross-feed words set channel 1 as well, and channel 1's
// own time word is dropped.

bool storeParameter(DelayParams& p, int parameter, int16_t word, float* echo, int* code) {
    const float x = wordValue(word);
    switch (parameter) {
    case 7: case 8: {
        const int c = parameter - 7;
        if (c == 1 && p.link != 0) {
            p.freeTime[1] = p.freeTime[0];
            p.syncCode[1] = p.syncCode[0];
        } else {
            p.freeTime[c] = delayFreeTime(word);
            p.syncCode[c] = mapParam16Segments(x);
            if (c == 0 && p.link != 0) {
                p.freeTime[1] = p.freeTime[0];
                p.syncCode[1] = p.syncCode[0];
            }
        }
        timeEcho(p, c, echo, code);
        return true;
    }
    case 9: case 10:
        p.feedback[parameter - 9] = x;
        if (parameter == 9 && p.link != 0) p.feedback[1] = x;
        *echo = x; *code = echo::Fraction; return true;
    case 11: case 12:
        p.cross[parameter - 11] = 0.5f * x;
        if (parameter == 11 && p.link != 0) p.cross[1] = p.cross[0];
        *echo = 0.5f * x; *code = echo::Fraction; return true;
    case 13:
        p.spare13 = word;
        *echo = integerEcho(word); *code = echo::Selection; return true;
    case 14:
        p.cutoff = 10.0f * std::pow(1.059f, 120.0f * x);
        *echo = p.cutoff; *code = echo::Hertz; return true;
    case 15:
        p.spare15 = tenSegmentLookup(word, kCurve15);
        *echo = p.spare15; *code = echo::Fraction; return true;
    case 16:
        p.link = word;
        *echo = integerEcho(word); *code = echo::Switch; return true;
    case 18:
        p.sync = float(word);
        *echo = integerEcho(word); *code = echo::Switch; return true;
    case 20:
        p.bypass = word;
        *echo = integerEcho(word); *code = echo::Switch; return true;
    default:
        return storeEffectTail(kTail, {&p.mix, &p.outputGain, nullptr}, parameter, word, *echo, *code);
    }
}

struct Damping {
    double f, d;
};

// The filter's two coefficients for a cutoff; d stays at 1 until the cutoff climbs high.
Damping damping(float cutoff, double rate) {
    double share = double(cutoff) / (2.0 * rate);
    if (!(share < kHighestCutoffShare)) share = kHighestCutoffShare;
    if (!(share > 0.0)) share = 0.0;
    const double f = 2.0 * std::sin(kPi * share);
    const double d = f > 0.0 ? 2.0 / f - f / 2.0 : 1.0;
    return {f, d < 1.0 ? d : 1.0};
}

} // namespace

float delayFreeTime(int word) { return 2.0f * tenSegmentLookup(word, kTimeCurve); }

double delayTargetLength(const DelayParams& p, int channel, const EngineContext& context) {
    if (p.sync != 0.0f) {
        // No tempo gives no synced length: the free time stands in.
        const float synced = tempoSyncPeriodSamples(p.syncCode[channel], context.tempo, context.sampleRate);
        if (synced > 0.0f) return heldLength(double(synced));
    }
    return heldLength(double(p.freeTime[channel]) * context.referenceRatio);
}

void initDelay(void* module, EngineContext* context) {
    auto& m = *static_cast<DelayModule*>(module);
    const double stretch = context != nullptr ? context->referenceRatio : 1.0;
    for (int c = 0; c < 2; ++c) {
        DelayChannel& ch = m.channels[c];
        ch = DelayChannel{};
        ch.length = heldLength(m.head.record ? double(m.head.record->as<DelayParams>().freeTime[c]) * stretch : 0.0);
    }
}

void processDelay(void* module, const ConnectionDescriptor* descriptors, const PortEntry* const* sources,
                  const uint32_t* counts) {
    auto& m = *static_cast<DelayModule*>(module);
    // Nobody listens: the lines stand still.
    if (m.ports[0].users() == 0 && m.ports[1].users() == 0) return;
    float* out[2] = {portBuffer(m.ports[0]), portBuffer(m.ports[1])};
    const EngineContext* context = m.head.context;
    const bool wired = counts != nullptr && descriptors != nullptr && sources != nullptr && counts[0] > 0 &&
                       counts[1] > 0;
    const float* in[2] = {wired && sources[0] ? portBuffer(*sources[0]) : nullptr,
                          wired && sources[counts[0]] ? portBuffer(*sources[counts[0]]) : nullptr};
    // A skipped block leaves silence rather than the last block repeating.
    if (!in[0] || !in[1] || !out[0] || !out[1] || m.head.record == nullptr || context == nullptr) {
        silence(out[0]);
        silence(out[1]);
        return;
    }
    const DelayParams& p = m.head.record->as<DelayParams>();
    const double amount[2] = {double(descriptors[0].amount()), double(descriptors[counts[0]].amount())};
    const double target[2] = {delayTargetLength(p, 0, *context), delayTargetLength(p, 1, *context)};
    const double mix = p.bypass == 1 ? 0.0 : double(p.mix);
    const double gain = p.outputGain;
    const double rate = context->sampleRate > 0.0f ? double(context->sampleRate) : kReferenceRate;
    const Damping filter = damping(p.cutoff, rate);
    const double glide = kGlide * context->inverseReferenceRatio;

    for (int n = 0; n < kBlockFrames; ++n) {
        double dry[2], wet[2];
        for (int c = 0; c < 2; ++c) {
            dry[c] = amount[c] * double(in[c][n]);
            if (!std::isfinite(dry[c])) dry[c] = 0.0; // a broken sample must not reach the lines
            m.channels[c].length -= (m.channels[c].length - target[c]) * glide;
        }
        for (int c = 0; c < 2; ++c) {
            DelayChannel& ch = m.channels[c];
            float* line = m.lines[c];
            const float length = float(heldLength(ch.length));
            const int32_t whole = int32_t(length);
            const double a = 1.0 - double(length - float(whole));
            int32_t i = ch.writeIndex - whole;
            if (i < 0) i += kDelayLineLength;
            const int32_t j = i == 0 ? kDelayLineLength - 1 : i - 1;
            // Slots further back than the samples written since init read as silence.
            const double newer = whole <= ch.written ? double(line[i]) : 0.0;
            const double older = whole < ch.written ? double(line[j]) : 0.0;
            wet[c] = flushed(a * newer + older - a * ch.previousRead);
            ch.previousRead = wet[c];

            const double v = newer * double(p.feedback[c]) + dry[c];
            double sum = 0.0;
            for (int pass = 0; pass < 2; ++pass) {
                ch.low += filter.f * ch.band;
                const double high = v - filter.d * ch.band - ch.low;
                ch.band += filter.f * high;
                sum += ch.low;
            }
            ch.low = flushed(ch.low);
            ch.band = flushed(ch.band);
            const double z = flushed(0.5 * sum);
            const double s = 3.0 * tanhApprox6(0.3 * z);
            ch.cross = double(p.cross[c]) * s;
            // Channel 0 takes channel 1's cross-feed of the frame before, channel 1 channel 0's of this one.
            line[ch.writeIndex] = float(flushed(s + m.channels[1 - c].cross));
            if (++ch.writeIndex == kDelayLineLength) ch.writeIndex = 0;
            if (ch.written < kDelayLineLength) ++ch.written;
        }
        out[0][n] = toSample(gain * ((1.0 - mix) * dry[1] + mix * wet[1]));
        out[1][n] = toSample(gain * ((1.0 - mix) * dry[0] + mix * wet[0]));
    }
    for (DelayChannel& ch : m.channels) {
        if (!(std::fabs(ch.low) < kRunaway) || !(std::fabs(ch.band) < kRunaway)) {
            ch.low = 0.0;
            ch.band = 0.0;
        }
    }
}

// A stored block reads as the setter reads the same words, with two differences: each channel's words
// stand for themselves, and the link ends off (the default block holds 8192 there, which the effect
// rows never meant as on).
void loadDelayBlock(const uint16_t* data, int wordCount, ParameterRecord* record, EngineContext*) {
    // A truncated block would leave half a setting behind; the record keeps the last whole one.
    if (data == nullptr || record == nullptr || wordCount < kBlockWords) return;
    DelayParams& p = record->as<DelayParams>();
    float echo = 0.0f;
    int code = echo::Decibels;
    p.link = 0;
    for (int parameter = 7; parameter < kBlockWords; ++parameter)
        if (parameter != 16) storeParameter(p, parameter, int16_t(data[parameter + 2]), &echo, &code);
}

void setDelayParameter(int16_t value, int parameter, float* echoValue, int* echoCode, ParameterRecord* record,
                       EngineContext*) {
    if (record == nullptr) return;
    float echo = 0.0f;
    int code = echo::Decibels;
    if (!storeParameter(record->as<DelayParams>(), parameter, value, &echo, &code)) return;
    if (echoValue) *echoValue = echo;
    if (echoCode) *echoCode = code;
}

} // namespace corvex
