// The stereo master phaser (type 40): two six-stage linear allpass chains, each swept by its own LFO, with a cross mix.
#include "engine/modules/types/PhaserMaster.h"

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

static_assert(sizeof(PhaserMasterModule) <= sizeof(VoiceModuleWrapperA), "the master phaser comes from pool 1");
static_assert(offsetof(PhaserMasterModule, ports) == offsetof(PortedModule, ports),
              "the framework finds the ports where every ported module keeps them");

namespace {

constexpr int kBlockWords = 30;

// Hz at v = 0, 0.1, ..., 1.0.
constexpr float kRateCurve[11] = {0.001f, 0.02f, 0.05f, 0.1f, 0.5f, 1.0f, 3.5f, 5.0f, 8.0f, 10.0f, 12.0f};

constexpr float kDepthSemitones = 50.0f;
constexpr double kStageScale = 1.35;
// Far above anything a chain with feedback below unity reaches; past it a chain starts afresh.
constexpr double kRunaway = 1e100;

double sweptFrequency(float depth, float lfo, float centre) {
    const float f = semitonesToRatio(depth * lfo * kDepthSemitones) * centre;
    return double(heldWithin(f, kPhaserLowestSweep, kPhaserHighestSweep));
}

constexpr EffectTail kTail{25, 28, 29};

bool storeParameter(PhaserMasterParams& p, int parameter, int16_t word, float* echo, int* code) {
    const float x = wordValue(word);
    switch (parameter) {
    case 8: case 13: {
        // Feedback past unity around an allpass chain grows without bound.
        float& f = p.feedback[parameter == 8 ? 0 : 1];
        f = heldWithin(x, -1.0f, 1.0f);
        *echo = f; *code = echo::Fraction; return true;
    }
    case 9: case 14: {
        float& c = p.centre[parameter == 9 ? 0 : 1];
        c = x * 1000.0f + 20.0f;
        *echo = c; *code = echo::Hertz; return true;
    }
    case 10: case 15:
        p.depth[parameter == 10 ? 0 : 1] = x;
        *echo = x; *code = echo::Fraction; return true;
    case 11: case 16: {
        int32_t& w = p.wave[parameter == 11 ? 0 : 1];
        w = heldPhaserWave(word);
        *echo = float(w); *code = echo::Selection; return true;
    }
    case 12: case 17: {
        const int c = parameter == 12 ? 0 : 1;
        p.rateHz[c] = masterPhaserRate(word);
        p.rateCode[c] = mapParam16Segments(x);
        if (p.tempoSync != 0) {
            *echo = p.rateCode[c]; *code = echo::TempoRatio;
        } else {
            *echo = p.rateHz[c]; *code = echo::Hertz;
        }
        return true;
    }
    case 7:
        p.spare7 = x;
        *echo = x; *code = echo::Fraction; return true;
    case 18:
        p.spare18 = x;
        *echo = x; *code = echo::Fraction; return true;
    case 19:
        p.spare19 = word;
        *echo = float(word); *code = echo::Switch; return true;
    case 20:
        p.tempoSync = word;
        *echo = float(word); *code = echo::Switch; return true;
    case 21: case 22:
        // A switch: any other word would scale the other side's chain by itself.
        p.cross = word < 0 ? 0 : (word > 1 ? 1 : word);
        *echo = float(p.cross); *code = echo::Switch; return true;
    case 23:
        p.spare23 = x;
        *echo = x; *code = echo::Fraction; return true;
    case 24:
        p.spare24 = x;
        *echo = x; *code = echo::Fraction; return true;
    case 26:
        p.spare26 = word;
        *echo = float(word); *code = echo::Switch; return true;
    case 27:
        p.spare27 = word;
        *echo = float(word); *code = echo::Switch; return true;
    default:
        return storeEffectTail(kTail, {&p.mix, &p.level, &p.bypass}, parameter, word, *echo, *code);
    }
}

void startAfresh(PhaserMasterModule& m, int channel) {
    for (PhaserStage& st : m.stages[channel]) st = PhaserStage{0.0, 0.0};
    m.lastOutput[channel] = 0.0;
}

} // namespace

float masterPhaserRate(int word) { return tenSegmentLookup(word, kRateCurve); }

void initPhaserMaster(void* module, EngineContext*) {
    auto& m = *static_cast<PhaserMasterModule*>(module);
    for (int c = 0; c < 2; ++c) {
        m.phase[c] = 0;
        startAfresh(m, c);
    }
}

void processPhaserMaster(void* module, const ConnectionDescriptor* descriptors, const PortEntry* const* sources,
                         const uint32_t* counts) {
    auto& m = *static_cast<PhaserMasterModule*>(module);
    // Nobody listens: nothing moves, the LFOs included.
    if (m.ports[0].users() == 0 && m.ports[1].users() == 0) return;
    float* out[2] = {portBuffer(m.ports[0]), portBuffer(m.ports[1])};
    const EngineContext* context = m.head.context;
    const bool wired = counts != nullptr && descriptors != nullptr && sources != nullptr;
    const uint32_t connected[2] = {wired ? counts[0] : 0u, wired ? counts[1] : 0u};
    const uint32_t firstOf[2] = {0u, connected[0]};
    const float* in[2] = {nullptr, nullptr};
    bool skip = (connected[0] == 0 && connected[1] == 0) || m.head.record == nullptr || context == nullptr;
    for (int c = 0; c < 2 && !skip; ++c) {
        if (connected[c] == 0) continue;
        const PortEntry* source = sources[firstOf[c]];
        in[c] = source ? portBuffer(*source) : nullptr;
        if (in[c] == nullptr || out[c] == nullptr) skip = true;
    }
    // A skipped block leaves silence rather than the last block repeating.
    if (skip) {
        silence(out[0]);
        silence(out[1]);
        return;
    }
    const PhaserMasterParams& p = m.head.record->as<PhaserMasterParams>();
    const double sampleRate = context->sampleRate > 0.0f ? double(context->sampleRate) : 44100.0;

    double gain[2], amount[2];
    for (int c = 0; c < 2; ++c) {
        const float rate = phaserLfoRate(p.tempoSync, p.rateHz[c], p.rateCode[c], context->tempo);
        const float lfo = phaserLfoValue(p.wave[c], m.phase[c]);
        m.phase[c] += phaserPhaseStep(double(rate) * double(kBlockFrames) / sampleRate);
        // The right LFO sweeps against the left one.
        const float direction = c == 0 ? 1.0f : -1.0f;
        gain[c] = kStageScale * phaserCoefficient(sweptFrequency(direction * p.depth[c], lfo, p.centre[c]), sampleRate);
        amount[c] = in[c] != nullptr ? double(descriptors[firstOf[c]].amount()) : 0.0;
    }
    const double wet = p.bypass == 1 ? 0.0 : double(p.mix);
    const double cross = double(p.cross);
    const double level = p.level;

    for (int n = 0; n < kBlockFrames; ++n) {
        double x[2], y[2];
        for (int c = 0; c < 2; ++c) {
            x[c] = in[c] != nullptr ? amount[c] * double(in[c][n]) : 0.0;
            if (!std::isfinite(x[c])) x[c] = 0.0; // a broken sample must not reach the stages
            PhaserStage* st = m.stages[c];
            double v = phaserStageLinear(st[0], x[c], gain[c]) - double(p.feedback[c]) * m.lastOutput[c];
            for (int s = 1; s < kPhaserStages; ++s) v = phaserStageLinear(st[s], v, gain[c]);
            v = flushed(v);
            m.lastOutput[c] = v;
            y[c] = v;
        }
        if (out[0]) out[0][n] = toSample(((cross * y[1] + y[0]) * wet + x[0] * (1.0 - wet)) * level);
        if (out[1]) out[1][n] = toSample(((cross * y[0] + y[1]) * wet + x[1] * (1.0 - wet)) * level);
    }
    for (int c = 0; c < 2; ++c)
        if (!(std::fabs(m.lastOutput[c]) < kRunaway)) startAfresh(m, c);
}

// Both cross indices set one field. The rows write index 22 and leave 21 at 0, so a stored block turns
// the cross on from either: read from 21 alone, a saved cross would come back off.
void loadPhaserMasterBlock(const uint16_t* data, int wordCount, ParameterRecord* record, EngineContext*) {
    if (data == nullptr || record == nullptr || wordCount < kBlockWords) return;
    PhaserMasterParams& p = record->as<PhaserMasterParams>();
    float echo = 0.0f;
    int code = echo::Decibels;
    for (int parameter = 7; parameter < kBlockWords; ++parameter)
        if (parameter != 22) storeParameter(p, parameter, int16_t(data[parameter + 2]), &echo, &code);
    if (p.cross == 0) storeParameter(p, 22, int16_t(data[22 + 2]), &echo, &code);
}

void setPhaserMasterParameter(int16_t value, int parameter, float* echoValue, int* echoCode, ParameterRecord* record,
                              EngineContext*) {
    if (record == nullptr) return;
    float echo = 0.0f;
    int code = echo::Decibels;
    if (!storeParameter(record->as<PhaserMasterParams>(), parameter, value, &echo, &code)) return;
    if (echoValue) *echoValue = echo;
    if (echoCode) *echoCode = code;
}

} // namespace corvex
