// The part's LFO (type 8): three block-rate waves from one phase, free or tempo-locked, with a fade after each trigger.
#include "engine/modules/types/Lfo.h"

#include <cmath>
#include <cstddef>

#include "engine/dsp/ModuleValues.h"
#include "engine/dsp/OscillatorWaveTables.h"
#include "engine/dsp/SampleGuards.h"
#include "engine/dsp/TempoSync.h"
#include "engine/modules/BlockBufferStore.h"
#include "engine/modules/EchoCodes.h"
#include "engine/modules/EngineContext.h"
#include "engine/modules/ModulationSum.h"
#include "engine/modules/ModuleDataReport.h"
#include "engine/modules/ModulePools.h"

namespace corvex {

static_assert(sizeof(LfoModule) <= sizeof(VoiceModuleWrapperC), "the LFO comes from pool 3");
static_assert(offsetof(LfoModule, ports) == offsetof(PortedModule, ports),
              "the framework finds the ports where every ported module keeps them");

namespace {

// The curve model whose thirteen-point tables the instrument's programs use.
constexpr int32_t kThirteenPointModel = 8;

constexpr float kRateCurve13[] = {0.041922f, 0.045918f, 0.085602f, 0.157978f, 0.325521f, 0.635082f, 1.121076f,
                                  2.134928f, 4.83559f,  8.305648f, 16.50165f, 31.847134f, 32.894737f};
constexpr float kRateCurve11[] = {0.01f, 0.03f, 0.1f, 0.4f, 0.7f, 1.0f, 1.8f, 2.9f, 5.0f, 10.0f, 20.0f};
// Kept as the programs were voiced with them, bumps included: the middle points are not monotonic.
constexpr float kDelayCurve13[] = {1.0f,   5.0f,    13.3f,   45.0f,   109.5f,  240.0f,  4195.0f,
                                   904.0f, 15646.0f, 2293.0f, 4901.0f, 10194.0f, 11173.0f};
constexpr float kDelayCurve11[] = {3.5f,    3.5f,    7.0f,     35.0f,    175.0f,  770.0f,
                                   2110.0f, 5950.0f, 15365.0f, 34825.0f, 38500.0f};
constexpr float kRiseCurve13[] = {3.5f,    3.5f,     7.0f,     35.0f,    175.0f, 770.0f, 2110.0f,
                                  5950.0f, 15365.0f, 34825.0f, 38500.0f, 0.5f,   0.5f};
constexpr float kRiseCurve11[] = {1.0f,   5.0f,    13.3f,    45.0f,   109.5f, 240.0f,
                                  4195.0f, 904.0f, 15646.0f, 2293.0f, 4901.0f};

constexpr int kBlockWords = 19;
constexpr float kLowestRate = 0.0001f; // below this (or NaN) the LFO crawls at kCrawlRate
constexpr float kCrawlRate = 0.001f;
constexpr float kHighestRate = 20.0f;
constexpr float kRateSweepBase = 256.0f; // m2 = +-1 sweeps eight octaves
constexpr uint32_t kHoldWindow = 33;     // samples after a period boundary in which a block refreshes the hold
constexpr float kHoldScale = 0.5f;
constexpr float kBlock = 32.0f;
constexpr double kPhaseUnits = 4294967296.0;
constexpr float kLampScale = 16384.0f;

bool thirteenPoints(const LfoParams& p) { return p.model == kThirteenPointModel; }

float rateFor(const LfoParams& p, float v) {
    return thirteenPoints(p) ? pointCurve(kRateCurve13, v) : pointCurve(kRateCurve11, v);
}
float delayFor(const LfoParams& p, float v) {
    return thirteenPoints(p) ? pointCurve(kDelayCurve13, v) : pointCurve(kDelayCurve11, v);
}
float riseFor(const LfoParams& p, float v) {
    return thirteenPoints(p) ? pointCurve(kRiseCurve13, v) : pointCurve(kRiseCurve11, v);
}

// Samples between sample-and-hold refreshes: one per cycle of the free rate. At least one sample,
// so the cadence test never divides by zero.
uint32_t holdPeriodFor(float rateHz, const EngineContext* context) {
    const double rate = context != nullptr ? double(context->sampleRate) : 44100.0;
    const double period = std::trunc(rate / double(rateHz));
    if (!(period >= 1.0)) return 1;
    return period >= 4294967295.0 ? 4294967295u : uint32_t(period);
}

// One parameter word into the record; returns false for an index the LFO takes no word at.
bool storeParameter(LfoParams& p, int parameter, int16_t word, float* echo, int* code, const EngineContext* context) {
    const float v = wordValue(word);
    switch (parameter) {
    case 3: p.model = word; *echo = float(word); *code = echo::Selection; return true;
    case 8:
        p.rateHz = rateFor(p, v);
        p.syncCode = mapParam16Segments(v);
        p.holdPeriod = holdPeriodFor(p.rateHz, context);
        if (p.sync != 0.0f) {
            *echo = p.syncCode;
            *code = echo::TempoRatio;
        } else {
            *echo = p.rateHz;
            *code = echo::Hertz;
        }
        return true;
    case 10: p.spareValue = v; *echo = v; *code = echo::Fraction; return true;
    case 11: p.sync = float(word); *echo = float(word); *code = echo::Switch; return true;
    case 12: p.spareWord = v; *echo = v; *code = echo::Selection; return true;
    case 13: p.delayMs = delayFor(p, v); *echo = p.delayMs; *code = echo::Milliseconds; return true;
    case 14: p.riseMs = riseFor(p, v); *echo = p.riseMs; *code = echo::Milliseconds; return true;
    case 16: case 17: case 18:
        p.selector[parameter - 16] = word; *echo = float(word); *code = echo::Selection; return true;
    default: return false;
    }
}

// A gate state is an integer published by a value port; a buffer port's second field is a pointer.
bool startsFade(const PortEntry* source) {
    return source != nullptr && source->isValuePort() && source->intValue == 1;
}

// An audio-rate source is sampled at the start of the block. The sample is held for a whole
// period, so a broken or vanishing one is held as silence rather than as NaN or a denormal.
float sampleOf(const PortEntry* source) {
    if (source == nullptr) return 0.0f;
    const float* samples = source->isValuePort() ? nullptr : portBuffer(*source);
    const float x = source->isValuePort() ? source->value : (samples != nullptr ? samples[0] : 0.0f);
    return (std::isfinite(x) && std::fabs(x) >= kFlushBelowFloat) ? x : 0.0f;
}

float rateOf(const LfoParams& p, const EngineContext& context, float sweep) {
    // A stopped or broken clock gives 0 Hz here, which the crawl limit below keeps moving.
    const float base = p.sync != 0.0f ? tempoSyncFrequency(p.syncCode, context.tempo) : p.rateHz;
    const float f = base * std::pow(kRateSweepBase, sweep);
    if (!(f >= kLowestRate)) return kCrawlRate;
    return f > kHighestRate ? kHighestRate : f;
}

// The fraction of a cycle that one block covers, in phase units; whole cycles drop out so that a
// rate limit far above the block rate (at very low sample rates) still gives a defined step.
uint32_t phaseStep(float rateHz, const EngineContext& context) {
    const double cycles = double(rateHz) * double(context.blockPeriod);
    if (!std::isfinite(cycles) || cycles <= 0.0) return 0;
    return uint32_t((cycles - std::floor(cycles)) * kPhaseUnits);
}

float waveValue(int32_t selector, uint32_t phase, float held, float previous) {
    const OscillatorWaveTables& tables = oscillatorWaveTables();
    switch (selector) {
    case LfoWave::FallingSaw: return -OscillatorWaveTables::read(tables.wave(0), phase);
    case LfoWave::Square: return OscillatorWaveTables::read(tables.wave(1), phase);
    case LfoWave::Sine: return OscillatorWaveTables::read(tables.wave(2), phase);
    case LfoWave::Triangle: return OscillatorWaveTables::read(tables.wave(3), phase);
    case LfoWave::SampleAndHold: return held;
    default: return previous;
    }
}

// The lamp shows the wave itself, not the faded output: 0 .. 16384 for -1 .. +1. A held sample
// may lie outside the wave's range, so the value is held to the lamp's.
int32_t lampValue(float w) {
    const float x = (w + 1.0f) * 0.5f * kLampScale;
    if (!(x > 0.0f)) return 0;
    return x >= kLampScale ? int32_t(kLampScale) : int32_t(x);
}

void reportLamp(const LfoModule& m, float w) {
    uint8_t* payload = requestModuleDataReport(m.head.context, *m.head.record, 0, 4);
    if (payload == nullptr) return; // the notification FIFO is full: this report is skipped
    const uint32_t bits = uint32_t(lampValue(w));
    for (int b = 0; b < 4; ++b) payload[b] = uint8_t(bits >> (8 * b));
}

// Every trigger restarts the same fade: hold for the delay, then rise linearly from 0 to 1 over
// the rise time. The rise shorter than a block completes in one block rather than overshooting.
void advanceFade(LfoModule& m, const LfoParams& p, const EngineContext& context) {
    if (!m.fadeStarted) {
        m.elapsedMs += kBlock * context.millisecondsPerSample;
        if (m.elapsedMs >= p.delayMs) {
            m.elapsedMs = 0.0f;
            m.fadeStarted = 1;
            const float span = p.riseMs * context.ratePerMillisecond; // samples
            m.slope = span > kBlock ? kBlock * (1.0f - m.level) / span : 1.0f - m.level;
        }
    }
    if (m.level >= 0.0f && m.level < 1.0f) {
        m.level += m.slope;
        if (!(m.level <= 1.0f)) m.level = 1.0f;
    } else {
        m.level = 1.0f;
    }
}

} // namespace

void initLfo(void* module, EngineContext*) {
    auto& m = *static_cast<LfoModule*>(module);
    for (PortEntry& port : m.ports) port.value = 0.0f;
    m.phase = 0;
    m.level = 0.0f;
    m.slope = 0.0f;
    m.elapsedMs = 0.0f;
    m.sampleCounter = 0;
    m.held = 0.0f;
    m.lampCounter = 0;
    m.lastRate = 0.0f;
    m.fadeStarted = 0;
}

void processLfo(void* module, const ConnectionDescriptor* descriptors, const PortEntry* const* sources,
                const uint32_t* counts) {
    auto& m = *static_cast<LfoModule*>(module);
    const EngineContext* context = m.head.context;
    if (counts == nullptr || descriptors == nullptr || sources == nullptr || context == nullptr ||
        m.head.record == nullptr)
        return;
    const LfoParams& p = m.head.record->as<LfoParams>();

    if (counts[LfoInput::Trigger] > 0 && startsFade(sources[0])) {
        m.level = 0.0f;
        m.elapsedMs = 0.0f;
        m.slope = 0.0f;
        m.fadeStarted = 0;
        if (p.freeRunning == 0.0f) m.phase = 0;
    }

    float mod[4];
    sumBlockModulation(descriptors, sources, counts, 4, mod);
    m.lastRate = rateOf(p, *context, mod[LfoInput::RateSweep]);

    const uint32_t phase = m.phase;
    m.phase += phaseStep(m.lastRate, *context);

    // The source is input 5's first connection, wherever input 4's connections end.
    float sample = 0.0f;
    if (counts[LfoInput::SampleSource] > 0) {
        uint32_t first = 0;
        for (int i = 0; i < LfoInput::SampleSource; ++i) first += counts[i];
        sample = sampleOf(sources[first]) * kHoldScale;
    }
    const uint32_t period = p.holdPeriod > 0 ? p.holdPeriod : 1;
    const bool refresh = (m.sampleCounter % period) <= kHoldWindow;

    float w = 0.0f;
    for (int k = 0; k < kLfoOutputs; ++k) {
        PortEntry& port = m.ports[k];
        const int32_t selector = p.selector[k];
        if (selector == LfoWave::Off || port.users() == 0) continue;
        if (selector == LfoWave::SampleAndHold && refresh) m.held = sample;
        w = waveValue(selector, phase, m.held, w);
        port.value = w * m.level;
    }

    if (++m.lampCounter >= kLfoLampBlocks) {
        m.lampCounter = 0;
        reportLamp(m, w);
    }

    m.sampleCounter += uint32_t(kBlock);
    advanceFade(m, p, *context);
}

void loadLfoBlock(const uint16_t* data, int wordCount, ParameterRecord* record, EngineContext* context) {
    // A truncated block would leave half a setting behind; the record keeps the last whole one.
    if (data == nullptr || record == nullptr || wordCount < kBlockWords) return;
    LfoParams& p = record->as<LfoParams>();
    auto word = [data](int j) { return int16_t(data[j + 2]); };
    float echo = 0.0f;
    int code = echo::Decibels;
    storeParameter(p, 3, word(3), &echo, &code, context);
    storeParameter(p, 11, word(11), &echo, &code, context); // before the rate, whose echo depends on it
    for (int j = 8; j < kBlockWords; ++j) storeParameter(p, j, word(j), &echo, &code, context);
    p.freeRunning = wordValue(word(15));
}

void setLfoParameter(int16_t value, int parameter, float* echoValue, int* echoCode, ParameterRecord* record,
                     EngineContext* context) {
    if (record == nullptr) return;
    float echo = 0.0f;
    int code = echo::Decibels;
    if (!storeParameter(record->as<LfoParams>(), parameter, value, &echo, &code, context)) return;
    if (echoValue) *echoValue = echo;
    if (echoCode) *echoCode = code;
}

} // namespace corvex
