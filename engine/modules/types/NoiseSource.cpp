// The part's noise source (type 44): five outputs, each picking a looped recording or a generator.
#include "engine/modules/types/NoiseSource.h"

#include <cstddef>

#include "engine/dsp/ModuleValues.h"
#include "engine/modules/EngineContext.h"
#include "engine/modules/BlockBufferStore.h"
#include "engine/modules/ModulePools.h"
#include "engine/modules/types/NoiseTables.h"

namespace corvex {

static_assert(sizeof(NoiseSourceModule) <= sizeof(VoiceModuleWrapperC), "the noise source comes from pool 3");
static_assert(offsetof(NoiseSourceModule, ports) == offsetof(PortedModule, ports),
              "the framework finds the ports where every ported module keeps them");

namespace {

constexpr int kBlockWords = 17;
constexpr int32_t kRecordedFormat = 8;
constexpr float kDither = 0.00001f;

constexpr uint32_t kMultiplier = 296314169u;
constexpr uint32_t kIncrement = 970633518u;

// 0.5 .. 1.5 from the generator's top 23 bits: with all 32 a float sum could round up to 1.5
// itself, and the range is meant to stay open at the top.
float nextUnit(uint32_t& state) {
    state = state * kMultiplier + kIncrement;
    return 0.5f + float(state >> 9) * (1.0f / 8388608.0f);
}

// Without a recording (a record that never had its tables chosen) the recorded part is silent
// and its position stays where it is.
void playLoop(float* out, const float* table, uint32_t& position, uint32_t loop, float level) {
    if (table == nullptr) {
        for (int n = 0; n < kBlockFrames; ++n) out[n] = 0.0f;
        return;
    }
    for (int n = 0; n < kBlockFrames; ++n) {
        if (position >= loop) position = 0;
        out[n] = level * table[position++];
    }
    if (position >= loop) position = 0;
}

void playWhite(float* out, uint32_t& state, float level) {
    for (int n = 0; n < kBlockFrames; ++n) out[n] = level * nextUnit(state);
}

// The dither keeps filters fed by the jitter out of denormal range even at level 0.
void playDitheredJitter(float* out, NoiseSourceModule& m, const float* table, float level) {
    for (int n = 0; n < kBlockFrames; ++n) {
        float recorded = 0.0f;
        if (table != nullptr) {
            if (m.shortPosition >= uint32_t(kNoiseShortLoop)) m.shortPosition = 0;
            recorded = level * table[m.shortPosition++];
        }
        out[n] = recorded + nextUnit(m.ditherState) * kDither;
    }
    if (m.shortPosition >= uint32_t(kNoiseShortLoop)) m.shortPosition = 0;
}

} // namespace

void selectNoiseTables(NoiseSourceParams& p, const EngineContext& context) {
    if (p.dataFormat != kRecordedFormat) return;
    const float rate = context.sampleRate;
    NoiseRateFamily family;
    if (rate == 44100.0f || rate == 48000.0f)
        family = NoiseRateFamily::Base;
    else if (rate == 88200.0f || rate == 96000.0f)
        family = NoiseRateFamily::Double;
    else if (p.table[0] != nullptr)
        return; // another rate keeps the recordings it has
    else
        // A first rate outside both families still plays: the nearer family's recordings.
        family = rate < 66150.0f ? NoiseRateFamily::Base : NoiseRateFamily::Double;
    const bool base = family == NoiseRateFamily::Base;
    p.table[0] = noiseTable(NoiseRecording::Broadband, family);
    p.table[1] = noiseTable(NoiseRecording::Dark, family);
    p.table[2] = noiseTable(NoiseRecording::Jitter, family);
    p.loopLength[0] = base ? kNoiseLongLengthBase : kNoiseLongLengthDouble;
    p.loopLength[1] = p.loopLength[0];
    p.loopLength[2] = base ? 7321 : kNoiseShortLoop;
}

void initNoiseSource(void* module, EngineContext*) {
    auto& m = *static_cast<NoiseSourceModule*>(module);
    m.firstPosition = 0;
    m.secondPosition = 0;
    m.shortPosition = 0;
    m.whiteState = 0;
    m.ditherState = 0;
}

void processNoiseSource(void* module, const ConnectionDescriptor*, const PortEntry* const*, const uint32_t*) {
    auto& m = *static_cast<NoiseSourceModule*>(module);
    if (m.head.record == nullptr || m.head.context == nullptr) return;
    NoiseSourceParams& p = m.head.record->as<NoiseSourceParams>();
    selectNoiseTables(p, *m.head.context);
    const int32_t ditherSwitch = m.head.context->integerSwitch;

    for (int k = 0; k < kNoiseOutputs; ++k) {
        PortEntry& port = m.ports[k];
        if (port.users() == 0) continue;
        float* out = portBuffer(port);
        if (out == nullptr) continue;
        const float level = p.level[k];
        switch (p.selector[k]) {
        case NoiseSelector::FirstRecording:
            playLoop(out, p.table[0], m.firstPosition, kNoiseLongLoop, level);
            break;
        case NoiseSelector::SecondRecording:
            playLoop(out, p.table[1], m.secondPosition, kNoiseLongLoop, level);
            break;
        case NoiseSelector::White:
            playWhite(out, m.whiteState, level);
            break;
        case NoiseSelector::DitheredJitter:
            if (ditherSwitch == 0) {
                for (int n = 0; n < kBlockFrames; ++n) out[n] = kDither;
            } else if (ditherSwitch == 1) {
                playDitheredJitter(out, m, p.table[2], level);
            }
            break;
        default:
            break; // off, or a selector with no source
        }
    }
}

void loadNoiseSourceBlock(const uint16_t* data, int wordCount, ParameterRecord* record, EngineContext* context) {
    if (data == nullptr || record == nullptr || wordCount < kBlockWords) return;
    auto word = [data](int j) { return int16_t(data[j + 2]); };
    NoiseSourceParams& p = record->as<NoiseSourceParams>();
    p.dataFormat = word(3);
    for (int k = 0; k < kNoiseOutputs; ++k) {
        p.level[k] = wordValue(word(7 + k));
        p.selector[k] = word(12 + k);
    }
    if (context != nullptr) selectNoiseTables(p, *context);
}

// The setter reports nothing: the parameter notification carries the value and code it started with.
void setNoiseSourceParameter(int16_t value, int parameter, float*, int*, ParameterRecord* record, EngineContext*) {
    if (record == nullptr) return;
    NoiseSourceParams& p = record->as<NoiseSourceParams>();
    if (parameter >= 7 && parameter < 7 + kNoiseOutputs)
        p.level[parameter - 7] = wordValue(value);
    else if (parameter >= 12 && parameter < 12 + kNoiseOutputs)
        p.selector[parameter - 12] = value;
}

} // namespace corvex
