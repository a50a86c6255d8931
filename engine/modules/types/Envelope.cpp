// The per-voice ADSR envelope (type 6): one block-rate level per block from exponential segments.
#include "engine/modules/types/Envelope.h"

#include <cmath>
#include <cstddef>

#include "engine/dsp/ModuleValues.h"
#include "engine/dsp/SampleGuards.h"
#include "engine/modules/EchoCodes.h"
#include "engine/modules/ModulationSum.h"
#include "engine/modules/EngineContext.h"
#include "engine/modules/ModulePools.h"

namespace corvex {

static_assert(sizeof(EnvelopeModule) <= sizeof(VoiceModuleWrapperB), "the envelope comes from pool 2");
static_assert(offsetof(EnvelopeModule, ports) == offsetof(PortedModule, ports),
              "the framework finds the port where every ported module keeps it");

namespace {

// Milliseconds (or levels) at equally spaced points over a parameter value of 0 .. 1.
constexpr float kAttackCurve[] = {0.79f,  2.177f,  14.762f, 51.0f,   119.0f,  262.0f, 453.0f,
                                  810.0f, 1260.0f, 2187.0f, 3940.0f, 6133.0f, 6166.0f};
constexpr float kSpareTimeCurve[] = {0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f};
// The last point lies below the one before it: the slowest setting is not the longest decay.
constexpr float kDecayCurve[] = {0.79f,     3.968f,     25.833f,    115.03f,    315.507f,
                                 760.837f,  1569.522f,  3966.165f,  7946.412f,  13802.426f,
                                 25297.787f, 36467.531f, 34625.371f};
constexpr float kReleaseCurve[] = {0.798f, 62.0f, 697.0f, 3810.0f, 9912.0f, 37503.0f, 40194.0f};
// Zero sustain sits on the release's end level, so a release from it is silent at once.
constexpr float kSustainCurve[] = {0.0001f, 0.173645f, 0.336883f, 0.571f, 0.571f, 0.75221f, 0.98253f};

constexpr int kBlockWords = 22;
constexpr float kAttackOvershoot = 1.111111f; // the attack aims past 1.0 so it reaches 1.0 in finite time
constexpr float kAttackTarget = 0.1f;          // attack ratio left after one attack time
constexpr float kSegmentEnd = 0.0001f;         // decay and release ratio left after one stage time
constexpr float kBlock = 32.0f;
constexpr uint32_t kStageMask = 7u;
constexpr uint32_t kClearedStageBits = 0x7Fu;

// Curve models other than 8 have no tables of their own here; their times follow model 8.
float sustainFor(int32_t model, float v) { return model == kEnvelopeCurveModel ? pointCurve(kSustainCurve, v) : v; }

// One parameter word into the record; returns false for an index the envelope has no field for.
bool storeParameter(EnvelopeParams& p, int parameter, int16_t word, float* echo, int* code) {
    const float v = wordValue(word);
    switch (parameter) {
    case 3: p.model = word; *echo = float(word); *code = echo::Selection; return true;
    case 8: p.attackMs = pointCurve(kAttackCurve, v); *echo = p.attackMs; *code = echo::Milliseconds; return true;
    case 9: p.spareTimeMs = pointCurve(kSpareTimeCurve, v); *echo = p.spareTimeMs; *code = echo::Milliseconds; return true;
    case 10: p.decayMs = pointCurve(kDecayCurve, v); *echo = p.decayMs; *code = echo::Milliseconds; return true;
    case 11: p.releaseMs = pointCurve(kReleaseCurve, v); *echo = p.releaseMs; *code = echo::Milliseconds; return true;
    case 12: case 13: case 14:
        p.spareLevels[parameter - 12] = v; *echo = v; *code = echo::Fraction; return true;
    case 15: p.sustain = sustainFor(p.model, v); *echo = p.sustain; *code = echo::Fraction; return true;
    case 16: case 17: case 18: case 19:
        p.spareWords[parameter - 16] = word; *echo = float(word); *code = echo::Selection; return true;
    case 20: p.spareValue = v; *echo = v; *code = echo::Fraction; return true;
    case 21: p.polarity = word; *echo = float(word); *code = echo::Switch; return true;
    default: return false;
    }
}

// Several gate connections make one gate. A start and a release in the same block release, so a
// note that ends while another starts is not left hanging.
int combinedGate(const PortEntry* const* sources, uint32_t count) {
    bool start = false, held = false, release = false;
    for (uint32_t k = 0; k < count; ++k) {
        const PortEntry* s = sources[k];
        // Only a value port publishes a gate state; a buffer port's second field is a pointer.
        const int state = (s != nullptr && s->isValuePort()) ? s->intValue : 0;
        start = start || state == 1;
        held = held || state == 2;
        release = release || state == 3;
    }
    if (start) return release ? 3 : 1;
    if (release) return 3;
    return held ? 2 : 0;
}

// Stage lengths shorter than one block would make the per-block ratio a power of 1/0 (or NaN when
// modulation drives 1 - m to 0 or below); one block is the shortest stage the block rate can show.
float stageSamples(float samples) { return samples >= kBlock ? samples : kBlock; }

float blockStep(EnvelopeModule& m, float target, float stageLength) {
    if (target != m.stepTarget || stageLength != m.stepLength) {
        m.stepTarget = target;
        m.stepLength = stageLength;
        m.step = std::pow(target, 1.0f / (stageLength * (1.0f / kBlock)));
    }
    return m.step;
}

uint32_t stageOf(const EnvelopeModule& m) { return m.stageWord & kStageMask; }
void setStage(EnvelopeModule& m, uint32_t stage) { m.stageWord = (m.stageWord & ~kStageMask) | stage; }

float spreadFactor(const EngineContext& c, int voice, const ConnectionDescriptor& firstGate) {
    const int slot = int((firstGate.route() >> 17) & 127u);
    const float b = (c.spreadB && voice < kSpreadTableBSize) ? c.spreadB[voice] : 0.0f;
    const float a = (c.spreadA && slot < kSpreadTableASize) ? c.spreadA[slot] : 0.0f;
    return 1.0f + 0.5f * c.detuneAmount * (b + a);
}

// This block's stage lengths in samples, worked out only for a stage that moves: a sustaining
// envelope needs none of them.
struct StageLengths {
    const EngineContext& context;
    const EnvelopeParams& p;
    const float* mod;
    int voice;
    const ConnectionDescriptor& firstGate;

    float of(float ms, float modulation) const {
        const float spread = spreadFactor(context, voice, firstGate);
        return stageSamples(context.ratePerMillisecond * ms * (1.0f - modulation) * spread);
    }
    float attack() const { return of(p.attackMs, mod[1]); }
    float decay() const { return of(p.decayMs, mod[2]); }
    float release() const { return of(p.releaseMs, mod[4]); }
};

// Gate 1 or 2: attack, decay and sustain run; a held gate after a release leaves the release
// level where it is rather than jumping back into a stage the note has left. Inlined, as the block is.
[[gnu::always_inline]] inline
float runHeldStage(EnvelopeModule& m, const StageLengths& lengths, float sustain) {
    const uint32_t stage = stageOf(m);
    const uint32_t previous = (m.stageWord >> 3) & kStageMask;
    if (stage >= EnvelopeStage::Release) {
        m.stageWord = (m.stageWord & ~(kStageMask << 3)) | (stage << 3);
        return m.base;
    }
    if (stage != previous) m.elapsed = 0.0f;
    float out = sustain;
    float length = 0.0f;
    switch (stage) {
    case EnvelopeStage::Attack:
        if (m.elapsed == 0.0f) m.ratio = 1.0f;
        length = lengths.attack();
        m.ratio *= blockStep(m, kAttackTarget, length);
        out = (1.0f - m.ratio) * kAttackOvershoot + m.base;
        break;
    case EnvelopeStage::Decay:
        if (m.elapsed == 0.0f) m.ratio = 1.0f;
        length = lengths.decay();
        m.ratio *= blockStep(m, kSegmentEnd, length);
        out = sustain + (1.0f - sustain) * m.ratio;
        m.decayOutput = out;
        break;
    default: // sustain
        m.ratio = sustain;
        m.elapsed = 0.0f;
        break;
    }
    uint32_t next = stage;
    if (m.elapsed > length || out > 1.0f) {
        next = stage + 1;
        // A release in the block right after the attack ends must not fall from a decay level left
        // over from an earlier note: the decay starts from the top.
        if (next == EnvelopeStage::Decay) m.decayOutput = 1.0f;
    }
    m.stageWord = (m.stageWord & ~0x3Fu) | (stage << 3) | next;
    return out;
}

float startRelease(EnvelopeModule& m, float releaseLength, float sustain) {
    switch (stageOf(m)) {
    case EnvelopeStage::Attack: m.releaseStart = m.lastOutput; break;
    case EnvelopeStage::Decay: m.releaseStart = m.decayOutput; break;
    case EnvelopeStage::Sustain: m.releaseStart = sustain; break;
    default: m.releaseStart = m.lastOutput; break; // a second release falls from where the first one is
    }
    setStage(m, EnvelopeStage::Release);
    m.elapsed = 0.0f;
    m.ratio = blockStep(m, kSegmentEnd, releaseLength);
    m.base = (m.releaseStart - kSegmentEnd) * m.ratio;
    return m.base;
}

float continueRelease(EnvelopeModule& m, float releaseLength) {
    setStage(m, EnvelopeStage::Release);
    m.ratio *= blockStep(m, kSegmentEnd, releaseLength);
    m.base = (m.releaseStart - kSegmentEnd) * m.ratio;
    if (m.ratio <= kSegmentEnd) {
        setStage(m, EnvelopeStage::Finished);
        m.base = 0.0f;
        m.ratio = 0.0f;
        m.elapsed = 0.0f;
    }
    return m.base;
}

} // namespace

void initEnvelope(void* module, EngineContext*) {
    auto& m = *static_cast<EnvelopeModule*>(module);
    m.ports[0].value = 0.0f;
    m.stepTarget = m.stepLength = m.step = 0.0f; // no length is 0: the first step is worked out
    if (m.marker != kEnvelopeStateMarker) {
        m.stageWord &= ~kClearedStageBits;
        m.elapsed = 0.0f;
        m.base = 0.0f;
        m.decayOutput = 0.0f;
        // The pool item may have held another module: no level of that one may leak into a release.
        m.releaseStart = 0.0f;
        m.marker = kEnvelopeStateMarker;
        m.ratio = 1.0f;
    }
    // The running ratio is kept with the stage: set back to 1 it would restart a sounding release
    // from its start level, and wake a finished envelope whose gate is released.
    m.lastOutput = 0.0f;
}

namespace {

bool anyModulation(const uint32_t* counts) {
    for (int input = 1; input <= 7; ++input)
        if (counts[input] != 0) return true;
    return false;
}

// One voice's block; `modulated` says whether any modulation input of the slot is wired at all.
// Inlined into the voices' loop: it runs for every voice of every block.
[[gnu::always_inline]] inline
void runEnvelope(EnvelopeModule& m, const ConnectionDescriptor* descriptors, const PortEntry* const* sources,
                 const uint32_t* counts, bool modulated) {
    const EngineContext* context = m.head.context;
    if (counts == nullptr || counts[0] == 0 || descriptors == nullptr || sources == nullptr || context == nullptr ||
        m.head.record == nullptr) {
        m.ports[0].value = 0.0f;
        return;
    }
    const EnvelopeParams& p = m.head.record->as<EnvelopeParams>();
    const uint32_t gateCount = counts[0];
    const int gate = combinedGate(sources, gateCount);
    float mod[7] = {};
    if (modulated) sumBlockModulation(descriptors + gateCount, sources + gateCount, counts + 1, 7, mod);
    const StageLengths lengths{*context, p, mod, m.head.initArgument(), descriptors[0]};

    float out;
    if (gate == 1) {
        m.stageWord &= ~kClearedStageBits;
        m.elapsed = 0.0f;
    }
    if (gate == 1 || gate == 2)
        out = runHeldStage(m, lengths, p.sustain);
    else if (gate == 3)
        out = startRelease(m, lengths.release(), p.sustain);
    else
        out = continueRelease(m, lengths.release());

    m.ratio = flushed(m.ratio);
    m.ports[0].value = p.polarity != 0 ? -out : out;
    m.lastOutput = out;
    // The trigger block does not count, so an attack's first two blocks both start from ratio 1.
    if (gate != 1) m.elapsed += kBlock;
}

} // namespace

void processEnvelope(void* module, const ConnectionDescriptor* descriptors, const PortEntry* const* sources,
                     const uint32_t* counts) {
    processEnvelopes(&module, 1, descriptors, &sources, counts);
}

void processEnvelopes(void* const* modules, int count, const ConnectionDescriptor* descriptors,
                      const PortEntry* const* const* sources, const uint32_t* counts) {
    const bool modulated = counts != nullptr && anyModulation(counts);
    for (int v = 0; v < count; ++v)
        runEnvelope(*static_cast<EnvelopeModule*>(modules[v]), descriptors, sources[v], counts, modulated);
}

void loadEnvelopeBlock(const uint16_t* data, int wordCount, ParameterRecord* record, EngineContext*) {
    // A truncated block would leave half a setting behind; the record keeps the last whole one.
    if (data == nullptr || record == nullptr || wordCount < kBlockWords) return;
    EnvelopeParams& p = record->as<EnvelopeParams>();
    auto word = [data](int j) { return int16_t(data[j + 2]); };
    float echo = 0.0f;
    int code = echo::Decibels;
    p.model = kEnvelopeCurveModel;
    for (int j = 8; j < kBlockWords; ++j) storeParameter(p, j, word(j), &echo, &code);
    p.spareValue = 0.0f; // the value model 8's table gives this field
}

void setEnvelopeParameter(int16_t value, int parameter, float* echoValue, int* echoCode, ParameterRecord* record,
                          EngineContext*) {
    if (record == nullptr) return;
    float echo = 0.0f;
    int code = echo::Decibels;
    if (!storeParameter(record->as<EnvelopeParams>(), parameter, value, &echo, &code)) return;
    if (echoValue) *echoValue = echo;
    if (echoCode) *echoCode = code;
}

} // namespace corvex
