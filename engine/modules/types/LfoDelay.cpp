// The LFO delay (type 59): fades a block-rate modulation value in after each key, and out on release.
#include "engine/modules/types/LfoDelay.h"

#include <cmath>
#include <cstddef>

#include "engine/dsp/ModuleValues.h"
#include "engine/dsp/SampleGuards.h"
#include "engine/modules/BlockBufferStore.h"
#include "engine/modules/EchoCodes.h"
#include "engine/modules/EngineContext.h"
#include "engine/modules/ModulePools.h"

namespace corvex {

static_assert(sizeof(LfoDelayModule) <= sizeof(VoiceModuleWrapperA), "the LFO delay comes from pool 1");
static_assert(offsetof(LfoDelayModule, ports) == offsetof(PortedModule, ports),
              "the framework finds the port where every ported module keeps it");

namespace {

// Milliseconds at equally spaced points over a parameter value of 0 .. 1.
constexpr float kDelayCurve[] = {0.1f, 10.0f, 106.0f, 747.0f, 1440.0f, 6455.0f, 11842.0f};
constexpr float kFallCurve[] = {0.01f, 1000.0f};

constexpr int kBlockWords = 12;
constexpr double kHoldShare = 0.333333333; // of the delay time; the rise takes twice this
constexpr float kBlock = 32.0f;

// One parameter word into the record; returns false for an index without a field.
bool storeParameter(LfoDelayParams& p, int parameter, int16_t word, float* echo, int* code) {
    const float v = wordValue(word);
    switch (parameter) {
    case 7: {
        const double hold = double(pointCurve(kDelayCurve, v)) * kHoldShare;
        p.holdMs = float(hold);
        p.riseMs = float(2.0 * hold);
        *echo = p.riseMs;
        *code = echo::Milliseconds;
        return true;
    }
    case 8: p.fallMs = pointCurve(kFallCurve, v); *echo = p.fallMs; *code = echo::Milliseconds; return true;
    case 9: p.spareValue = v; return true;
    case 10: p.fadeOutOnRelease = word; return true;
    case 11: p.spareWord = word; *echo = float(word); *code = echo::Switch; return true;
    default: return false;
    }
}

// A value port publishes the value; an audio-rate source gives its first sample. What it passes
// on is modulation, so a broken value (NaN, infinite) or a vanishing one passes on as none.
float valueOf(const PortEntry* source) {
    if (source == nullptr) return 0.0f;
    const float* samples = source->isValuePort() ? nullptr : portBuffer(*source);
    const float x = source->isValuePort() ? source->value : (samples != nullptr ? samples[0] : 0.0f);
    return (std::isfinite(x) && std::fabs(x) >= kFlushBelowFloat) ? x : 0.0f;
}

int gateOf(const PortEntry* source) {
    return (source != nullptr && source->isValuePort()) ? source->intValue : 0;
}

void advance(LfoDelayModule& m, const LfoDelayParams& p, float rate) {
    const float blockMs = 1000.0f * kBlock / rate;
    switch (m.stage) {
    case LfoDelayStage::Holding:
        m.counterMs += blockMs;
        if (m.counterMs >= p.holdMs) m.stage = LfoDelayStage::Rising;
        break;
    case LfoDelayStage::Rising:
        // The first term adds 1/1024 of the second, so the rise ends a little before its time.
        if (p.riseMs > 0.0f)
            m.level += 1.0f / (rate * p.riseMs * 0.032f) + (kBlock / rate) / (p.riseMs * 0.001f);
        else
            m.level = 1.0f;
        break;
    case LfoDelayStage::Full:
        m.level = 1.0f;
        break;
    case LfoDelayStage::Falling:
        if (p.fallMs > 0.0f)
            m.level -= (kBlock / rate) / (p.fallMs * 0.001f);
        else
            m.level = 0.0f;
        break;
    default: // idle, or a stage no block ever set
        m.stage = LfoDelayStage::Idle;
        m.level = 0.0f;
        break;
    }
    if (!(m.level >= 0.0f)) m.level = 0.0f;
    if (m.level > 1.0f) m.level = 1.0f;
}

} // namespace

void initLfoDelay(void* module, EngineContext*) {
    auto& m = *static_cast<LfoDelayModule*>(module);
    m.ports[0].value = 0.0f;
    m.stage = LfoDelayStage::Idle;
    m.level = 0.0f;
    m.counterMs = 0.0f;
}

void processLfoDelay(void* module, const ConnectionDescriptor*, const PortEntry* const* sources,
                     const uint32_t* counts) {
    auto& m = *static_cast<LfoDelayModule*>(module);
    const EngineContext* context = m.head.context;
    if (counts == nullptr || sources == nullptr || counts[LfoDelayInput::Gate] == 0 || context == nullptr ||
        m.head.record == nullptr || !(context->sampleRate > 0.0f)) {
        m.ports[0].value = 0.0f;
        return;
    }
    const LfoDelayParams& p = m.head.record->as<LfoDelayParams>();
    const uint32_t valueCount = counts[LfoDelayInput::Value];
    // The gate is input 1's first connection, however many connections input 0 has.
    const int gate = gateOf(sources[valueCount]);
    const float value = valueCount > 0 ? valueOf(sources[0]) : 0.0f;

    if (gate == 1) {
        m.stage = LfoDelayStage::Holding;
        m.level = 0.0f;
        m.counterMs = 0.0f;
    } else if (gate == 3 && p.fadeOutOnRelease != 0) {
        m.stage = LfoDelayStage::Falling;
    }
    if (m.stage == LfoDelayStage::Rising && m.level >= 1.0f) m.stage = LfoDelayStage::Full;
    if (m.stage == LfoDelayStage::Falling && m.level <= 0.0f) m.stage = LfoDelayStage::Idle;

    advance(m, p, context->sampleRate);
    m.ports[0].value = value * m.level;
}

void loadLfoDelayBlock(const uint16_t* data, int wordCount, ParameterRecord* record, EngineContext*) {
    if (data == nullptr || record == nullptr || wordCount < kBlockWords) return;
    LfoDelayParams& p = record->as<LfoDelayParams>();
    float echo = 0.0f;
    int code = echo::Decibels;
    for (int j = 7; j < kBlockWords; ++j) storeParameter(p, j, int16_t(data[j + 2]), &echo, &code);
}

// Parameters 9 and 10 come with the block only.
void setLfoDelayParameter(int16_t value, int parameter, float* echoValue, int* echoCode, ParameterRecord* record,
                          EngineContext*) {
    if (record == nullptr || parameter == 9 || parameter == 10) return;
    float echo = 0.0f;
    int code = echo::Decibels;
    if (!storeParameter(record->as<LfoDelayParams>(), parameter, value, &echo, &code)) return;
    if (echoValue) *echoValue = echo;
    if (echoCode) *echoCode = code;
}

} // namespace corvex
