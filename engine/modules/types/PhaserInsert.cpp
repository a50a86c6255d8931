// The insert phaser (type 38): six saturating allpass stages swept by one LFO, the output taken after 1..6 of them.
#include "engine/modules/types/PhaserInsert.h"

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

static_assert(sizeof(PhaserInsertModule) <= sizeof(VoiceModuleWrapperA), "the insert phaser comes from pool 1");
static_assert(offsetof(PhaserInsertModule, ports) == offsetof(PortedModule, ports),
              "the framework finds the ports where every ported module keeps them");

namespace {

constexpr int kBlockWords = 20;
constexpr int kModulationInputs = 4; // rate, centre, feedback, depth

// Hz at v = 0, 0.1, ..., 1.0.
constexpr float kRateCurve[11] = {0.001f, 0.02f, 0.05f, 0.1f, 0.5f, 1.0f, 3.5f, 9.0f, 15.0f, 30.0f, 50.0f};

constexpr float kGlide = 0.1f; // per 44.1 kHz block, for rate, centre and sweep
constexpr float kFastestRate = 50.0f;
constexpr float kSlowestRate = 0.01f;
constexpr float kDeepest = 10.0f;
constexpr float kShallowest = 0.01f;
constexpr float kHighestCentre = 2000.0f;
constexpr float kLowestCentre = 0.01f;
// The table length over the block rate at 44.1 kHz; other rates scale it by their own block rate.
constexpr double kTableStepsPerHz = 0.18577649;
constexpr double kSemitone = 1.059463094359295;
constexpr double kDepthSemitones = 110.0;
constexpr double kFirstStageScale = 1.5;
constexpr double kStageScale = 1.35;

// The rows write 2..6; any other count takes the nearest stage that exists.
int32_t heldStages(int32_t stages) { return stages < 1 ? 1 : (stages > kPhaserStages ? kPhaserStages : stages); }

constexpr EffectTail kTail{13, 18, 19};

static_assert(kPhaserStages == kPhaserLaneStages, "every stage has its lane");

bool storeParameter(PhaserInsertParams& p, int parameter, int16_t word, float* echo, int* code) {
    const float x = wordValue(word);
    switch (parameter) {
    case 7:
        p.stages = heldStages(word);
        *echo = float(p.stages); *code = echo::Selection; return true;
    case 8:
        p.feedback = x;
        *echo = x; *code = echo::Fraction; return true;
    case 9:
        p.centre = x * 1000.0f + 20.0f;
        *echo = p.centre; *code = echo::Hertz; return true;
    case 10:
        p.depth = x;
        *echo = x; *code = echo::Fraction; return true;
    case 11:
        p.rateHz = insertPhaserRate(word);
        p.rateCode = mapParam16Segments(x);
        if (p.tempoSync != 0) {
            *echo = p.rateCode; *code = echo::TempoRatio;
        } else {
            *echo = p.rateHz; *code = echo::Hertz;
        }
        return true;
    case 12:
        p.spare12 = word;
        *echo = float(word); *code = echo::Switch; return true;
    case 14:
        p.wave = heldPhaserWave(word);
        *echo = float(p.wave); *code = echo::Selection; return true;
    case 15:
        p.spare15 = word;
        *echo = float(word); *code = echo::Selection; return true;
    case 16:
        p.spare16 = word;
        *echo = float(word); *code = echo::Selection; return true;
    case 17:
        p.tempoSync = word;
        *echo = float(word); *code = echo::Switch; return true;
    default:
        return storeEffectTail(kTail, {&p.mix, &p.level, &p.bypass}, parameter, word, *echo, *code);
    }
}

} // namespace

float insertPhaserRate(int word) { return tenSegmentLookup(word, kRateCurve); }

void initPhaserInsert(void* module, EngineContext*) {
    auto& m = *static_cast<PhaserInsertModule*>(module);
    m.phase = 0;
    m.rate = 0.0f;
    m.depth = 0.0f;
    m.centre = 0.0f;
    m.swept = 0.0f;
    for (PhaserStage& st : m.stages) st = PhaserStage{0.0, 0.0};
    m.lastOutput = 0.0;
}

namespace {

// Everything of a block up to its per-sample loop. False when the block is already written (or
// nobody listens) and the loop has nothing to do.
bool prepareBlock(PhaserInsertModule& m, const ConnectionDescriptor* descriptors, const PortEntry* const* sources,
                  const uint32_t* counts, PhaserLane& lane) {
    // Nobody listens: nothing moves, the LFO included.
    if (m.ports[0].users() == 0 && m.ports[1].users() == 0) return false;
    float* out = portBuffer(m.ports[0]);
    const EngineContext* context = m.head.context;
    const bool wired = counts != nullptr && descriptors != nullptr && sources != nullptr && counts[0] > 0;
    const float* in = wired && sources[0] != nullptr ? portBuffer(*sources[0]) : nullptr;
    // A skipped block leaves silence rather than the last block repeating.
    if (out == nullptr || in == nullptr || m.head.record == nullptr || context == nullptr) {
        silence(out);
        return false;
    }
    const PhaserInsertParams& p = m.head.record->as<PhaserInsertParams>();

    float mod[kModulationInputs];
    const uint32_t first = counts[0] + counts[1];
    sumBlockModulation(descriptors + first, sources + first, counts + 2, kModulationInputs, mod);
    for (float& v : mod) v = finiteOrZero(v);

    // Blocks come faster at a higher rate: each one steps the LFO and the glides by less.
    const double perBlock = context->inverseReferenceRatio;
    const float glide = kGlide * float(perBlock);
    const float rate = phaserLfoRate(p.tempoSync, p.rateHz, p.rateCode, context->tempo);
    m.rate += ((mod[0] + 1.0f) * rate - m.rate) * glide;
    if (m.rate > kFastestRate) m.rate = kFastestRate;
    else if (!(m.rate > 0.0f)) m.rate = kSlowestRate;
    const float lfo = phaserLfoValue(p.wave, m.phase);
    m.phase += phaserPhaseStep(double(m.rate) * kTableStepsPerHz * perBlock / 256.0);

    m.depth = p.depth + mod[3];
    if (m.depth > kDeepest) m.depth = kDeepest;
    else if (!(m.depth > 0.0f)) m.depth = kShallowest;
    m.centre += ((mod[1] + 1.0f) * p.centre - m.centre) * glide;
    if (m.centre > kHighestCentre) m.centre = kHighestCentre;
    else if (!(m.centre > 0.0f)) m.centre = kLowestCentre;

    const double target = std::pow(kSemitone, double(m.depth) * double(lfo) * kDepthSemitones) * double(m.centre);
    m.swept += (float(target) - m.swept) * glide;
    if (target < double(kPhaserLowestSweep)) m.swept = kPhaserLowestSweep;
    if (target > double(kPhaserHighestSweep)) m.swept = kPhaserHighestSweep;

    const double sampleRate = context->sampleRate > 0.0f ? double(context->sampleRate) : 44100.0;
    const double g = phaserCoefficient(double(m.swept), sampleRate);
    lane.in = in;
    lane.out = out;
    lane.inputGain = descriptors[0].amount();
    lane.firstGain = kFirstStageScale * g;
    lane.gain = kStageScale * g;
    lane.feedback = double((mod[2] + 1.0f) * p.feedback);
    lane.wet = p.bypass == 1 ? 0.0 : double(p.mix);
    lane.level = p.level;
    lane.taken = heldStages(p.stages) - 1;
    for (int s = 0; s < kPhaserStages; ++s) {
        lane.state[s] = m.stages[s].state;
        lane.previousInput[s] = m.stages[s].previousInput;
    }
    lane.lastOutput = m.lastOutput;
    return true;
}

void finishBlock(PhaserInsertModule& m, const PhaserLane& lane) {
    for (int s = 0; s < kPhaserStages; ++s) {
        m.stages[s].state = lane.state[s];
        m.stages[s].previousInput = lane.previousInput[s];
    }
    m.lastOutput = lane.lastOutput;
}

} // namespace

void processPhaserInsert(void* module, const ConnectionDescriptor* descriptors, const PortEntry* const* sources,
                         const uint32_t* counts) {
    auto& m = *static_cast<PhaserInsertModule*>(module);
    PhaserLane lane;
    if (!prepareBlock(m, descriptors, sources, counts, lane)) return;
    phaserOneLane(lane);
    finishBlock(m, lane);
}

void processPhaserInserts(void* const* modules, int count, const ConnectionDescriptor* descriptors,
                          const PortEntry* const* const* sources, const uint32_t* counts) {
    runInLanes<PhaserInsertModule>(modules, count, descriptors, sources, counts, filterLaneKernels().phaser,
                                   prepareBlock, finishBlock);
}

void loadPhaserInsertBlock(const uint16_t* data, int wordCount, ParameterRecord* record, EngineContext*) {
    // A truncated block would leave half a setting behind; the record keeps the last whole one.
    if (data == nullptr || record == nullptr || wordCount < kBlockWords) return;
    PhaserInsertParams& p = record->as<PhaserInsertParams>();
    float echo = 0.0f;
    int code = echo::Decibels;
    for (int parameter = 7; parameter < kBlockWords; ++parameter)
        storeParameter(p, parameter, int16_t(data[parameter + 2]), &echo, &code);
}

void setPhaserInsertParameter(int16_t value, int parameter, float* echoValue, int* echoCode, ParameterRecord* record,
                              EngineContext*) {
    if (record == nullptr) return;
    float echo = 0.0f;
    int code = echo::Decibels;
    if (!storeParameter(record->as<PhaserInsertParams>(), parameter, value, &echo, &code)) return;
    if (echoValue) *echoValue = echo;
    if (echoCode) *echoCode = code;
}

} // namespace corvex
