// The part's step sequencer (type 41): up to three tracks over a pattern of up to 32 steps, clocked by
// its own rate or the song tempo, with swing, five play modes, glide and accents, at block rate.
#include "engine/modules/types/StepSequencer.h"

#include <array>
#include <cmath>
#include <cstddef>

#include "engine/modules/EngineContext.h"
#include "engine/modules/ModulationSum.h"
#include "engine/modules/ModuleDataReport.h"
#include "engine/modules/ModulePools.h"

namespace corvex {

static_assert(sizeof(StepSequencerModule) <= sizeof(VoiceModuleWrapperC), "the sequencer comes from pool 3");
static_assert(offsetof(StepSequencerModule, ports) == offsetof(PortedModule, ports),
              "the framework finds the ports where every ported module keeps them");

namespace {

constexpr int kGlidePoints = 32;
constexpr float kLastGlidePoint = float(kGlidePoints - 1);
constexpr float kCurvePointsPerTime = 32.0f; // a glide or accent crosses the curve in its set time
constexpr float kPhaseUnitScale = 117.1875f; // 60000 ms / 512 phase units
constexpr float kPitchGrid = 48.0f;
constexpr float kShortestTime = 0.001f; // ms

namespace Gate {
constexpr int32_t Off = 0;
constexpr int32_t Rising = 1;
constexpr int32_t On = 2;
constexpr int32_t Falling = 3;
} // namespace Gate

namespace Transport {
constexpr int32_t Stopped = 0;
constexpr int32_t Started = 1;
constexpr int32_t Stopping = 3;
} // namespace Transport

// G[i] = (e^(-0.1 i) - e^(-3.1)) / (1 - e^(-3.1)): an exponential fall from 1 that lands on 0 at the
// last point instead of approaching it for ever.
std::array<float, kGlidePoints> makeGlideCurve() {
    std::array<float, kGlidePoints> g{};
    const double floor = std::exp(-3.1);
    for (int i = 0; i < kGlidePoints; ++i) g[size_t(i)] = float((std::exp(-0.1 * i) - floor) / (1.0 - floor));
    return g;
}

const std::array<float, kGlidePoints> kGlideCurve = makeGlideCurve();

// The curve at a position 0 .. 31; anything from the last point on reads 0.
float glideCurve(float position) {
    if (!(position > 0.0f)) return kGlideCurve[0];
    if (position >= kLastGlidePoint) return kGlideCurve[kGlidePoints - 1];
    const int i = int(position);
    const float f = position - float(i);
    return (1.0f - f) * kGlideCurve[size_t(i)] + f * kGlideCurve[size_t(i) + 1];
}

// Curve points per ms for a glide or accent time; a record never loaded holds no time yet and
// reads as the shortest one.
float curveRate(float ms) { return kCurvePointsPerTime / (ms > kShortestTime ? ms : kShortestTime); }

float curvePosition(float ms, float rate) {
    const float p = ms * rate;
    return p < kLastGlidePoint ? p : kLastGlidePoint;
}

PortEntry& output(StepSequencerModule& m, int track, int which) {
    return m.ports[track * kSequencerOutputsPerTrack + which];
}

// The transport word of the first connection; a buffer port carries no word.
int32_t transportState(const PortEntry* const* sources) {
    const PortEntry* s = sources != nullptr ? sources[0] : nullptr;
    return (s != nullptr && s->isValuePort()) ? s->intValue : Transport::Stopped;
}

void clearValues(StepSequencerModule& m) {
    for (int t = 0; t < kSequencerTracks; ++t) {
        output(m, t, SequencerOutput::Raw).value = 0.0f;
        output(m, t, SequencerOutput::Pitch).value = 0.0f;
        output(m, t, SequencerOutput::Accent).value = 0.0f;
    }
}

// One draw from the kernel's injected random source, uniform over 0 .. last less the step just played.
// Drawing until a step differs would never end on a pattern of one step; mapping the draw past the
// excluded step always ends at once.
int drawStep(KernelRandom& random, int last, int previous) {
    if (last <= 0) return 0;
    const bool excluded = previous >= 0 && previous <= last;
    const uint32_t choices = uint32_t(last + 1 - (excluded ? 1 : 0));
    int step = int((random.next() >> 8) % choices);
    if (excluded && step >= previous) ++step;
    return step;
}

void restartSteps(StepSequencerModule& m, const StepSequencerParams& p, KernelRandom& random) {
    const int last = p.lastStep();
    m.phase = 0.0f;
    m.sinceStep = 0.0f;
    m.longSwing = 1;
    switch (p.mode()) {
    case SequencerMode::Backward:
        m.currentStep = uint8_t(last);
        m.previousStep = 0;
        m.upward = 0;
        break;
    case SequencerMode::Random:
        m.currentStep = uint8_t(drawStep(random, last, -1));
        m.previousStep = uint8_t(last);
        m.upward = 1;
        break;
    default:
        m.currentStep = 0;
        m.previousStep = uint8_t(last);
        m.upward = 1;
        break;
    }
}

// Steps beyond a last step that was moved down while playing come back inside the pattern.
void advanceStep(StepSequencerModule& m, const StepSequencerParams& p, KernelRandom& random) {
    const int last = p.lastStep();
    const int current = m.currentStep;
    m.previousStep = m.currentStep;
    switch (p.mode()) {
    case SequencerMode::Forward:
        m.currentStep = uint8_t(current < last ? current + 1 : p.firstStep());
        break;
    case SequencerMode::Backward:
        m.currentStep = uint8_t(current > 0 && current <= last ? current - 1 : last);
        break;
    case SequencerMode::BackAndForth:
        if (last == 0) {
            m.currentStep = 0;
        } else if (m.upward) {
            if (current < last) {
                m.currentStep = uint8_t(current + 1);
            } else {
                m.currentStep = uint8_t(current > last ? last : current - 1);
                m.upward = 0;
            }
        } else if (current > 0) {
            m.currentStep = uint8_t(current > last ? last : current - 1);
        } else {
            m.currentStep = 1;
            m.upward = 1;
        }
        break;
    case SequencerMode::Random:
        m.currentStep = uint8_t(drawStep(random, last, current));
        break;
    default:
        break; // no play mode: the step stays
    }
}

void reportStep(StepSequencerModule& m) {
    uint8_t* payload = requestModuleDataReport(m.head.context, *m.head.record, 0, 4);
    if (payload == nullptr) return;
    const uint32_t step = m.currentStep;
    payload[0] = uint8_t(step);
    payload[1] = uint8_t(step >> 8);
    payload[2] = uint8_t(step >> 16);
    payload[3] = uint8_t(step >> 24);
}

void enterStep(StepSequencerModule& m, const StepSequencerParams& p, bool restart, float blockMs) {
    if (p.has(SequencerFlag::ReportSteps)) reportStep(m);
    const int current = m.currentStep, previous = m.previousStep;
    for (int t = 0; t < kSequencerTracks; ++t) {
        const SequencerTrackParams& tp = p.track[t];
        if (!tp.enabled) continue;
        SequencerTrackState& s = m.track[t];
        s.previousRaw = tp.value[previous];
        s.previousQuantised = restart ? 0.0f : s.quantised;
        s.glide = int32_t((tp.glideMask >> previous) & 1u);
        const float v = tp.value[current];
        // Half a pitch step away from zero, so that equal values either side of 0 mirror each other.
        s.quantised = std::trunc(tp.range * v + (v >= 0.0f ? 0.5f : -0.5f)) / kPitchGrid;
        if ((tp.accentMask >> current) & 1u) {
            const bool attack = tp.attackMs > blockMs;
            s.accentStage = attack ? 1 : 2;
            s.accentRate = curveRate(attack ? tp.attackMs : tp.decayMs);
            s.accentTime = 0.0f;
        }
        // A step without its gate lets the gate go at once, not through "just off": a key held beside
        // the gate keeps the note, so a step meant as a tie does not release it.
        output(m, t, SequencerOutput::Gate).intValue = ((tp.gateMask >> current) & 1u) ? Gate::Rising : Gate::Off;
    }
}

void runTrack(StepSequencerModule& m, int t, const SequencerTrackParams& tp, float blockMs) {
    SequencerTrackState& s = m.track[t];
    const float v = tp.value[m.currentStep];
    float raw = v, pitch = s.quantised;
    if (s.glide) {
        const float g = glideCurve(curvePosition(m.sinceStep, s.glideRate));
        raw = v + g * (s.previousRaw - v);
        pitch = s.quantised + g * (s.previousQuantised - s.quantised);
    }
    output(m, t, SequencerOutput::Raw).value = raw;
    output(m, t, SequencerOutput::Pitch).value = pitch;

    if (s.accentStage == 0) return;
    float e;
    if (s.accentStage == 1) {
        e = 1.0f - glideCurve(curvePosition(s.accentTime, s.accentRate));
        if (s.accentTime >= tp.attackMs) {
            s.accentStage = 2;
            s.accentRate = curveRate(tp.decayMs);
            s.accentTime = 0.0f;
        } else {
            s.accentTime += blockMs;
        }
    } else {
        e = glideCurve(curvePosition(s.accentTime, s.accentRate));
        if (s.accentTime >= tp.decayMs) {
            s.accentStage = 0;
            s.accentTime = 0.0f;
        } else {
            s.accentTime += blockMs;
        }
    }
    output(m, t, SequencerOutput::Accent).value = e * tp.level;
}

// Phase units for this block. A tempo of 0, below 0 or no number, no steps per beat, or modulation
// that stretches the step to nothing or less stands the clock still; it runs on as soon as they
// recover.
float swingFactor(const StepSequencerModule& m, const StepSequencerParams& p) {
    return m.longSwing ? 1.0f + p.swing : 1.0f - p.swing;
}

float phaseAdvance(const StepSequencerModule& m, const StepSequencerParams& p, float tempo, float modulation,
                   float blockMs) {
    const float swing = swingFactor(m, p);
    const float unitMs = kPhaseUnitScale / (p.stepsPerBeat * tempo);
    const float advance = blockMs / (unitMs * (modulation + 1.0f) * swing);
    return advance > 0.0f ? advance : 0.0f;
}

} // namespace

void initStepSequencer(void* module, EngineContext*) {
    auto& m = *static_cast<StepSequencerModule*>(module);
    for (PortEntry& port : m.ports) port.value = 0.0f;
    for (int t = 0; t < kSequencerTracks; ++t) output(m, t, SequencerOutput::Gate).intValue = Gate::Off;
    const StepSequencerParams* p = m.head.record ? &m.head.record->as<StepSequencerParams>() : nullptr;
    for (int t = 0; t < kSequencerTracks; ++t) {
        m.track[t] = SequencerTrackState{};
        m.track[t].glideRate = curveRate(p != nullptr ? p->track[t].glideMs : 0.0f);
    }
    // A full phase makes the first running block step at once, from the last step to the first.
    m.phase = kSequencerStepPhase;
    m.sinceStep = 0.0f;
    m.currentStep = uint8_t(p != nullptr ? p->lastStep() : 0);
    m.previousStep = 0;
    m.running = 0;
    m.upward = 1;
    m.longSwing = 1;
}

void processStepSequencer(void* module, const ConnectionDescriptor* descriptors, const PortEntry* const* sources,
                          const uint32_t* counts) {
    auto& m = *static_cast<StepSequencerModule*>(module);
    EngineContext* context = m.head.context;
    if (counts == nullptr || counts[0] == 0 || context == nullptr || m.head.record == nullptr) return;
    const StepSequencerParams& p = m.head.record->as<StepSequencerParams>();

    for (int t = 0; t < kSequencerTracks; ++t) {
        int32_t& gate = output(m, t, SequencerOutput::Gate).intValue;
        if (gate == Gate::Rising) gate = Gate::On;
        else if (gate == Gate::Falling) gate = Gate::Off;
    }

    bool restart = false;
    switch (transportState(sources)) {
    case Transport::Stopped:
        if (p.has(SequencerFlag::StopClears) && !m.running) {
            clearValues(m);
            for (int t = 0; t < kSequencerTracks; ++t) output(m, t, SequencerOutput::Gate).intValue = Gate::Off;
            return;
        }
        break;
    case Transport::Started:
        m.running = 1;
        if (p.has(SequencerFlag::RestartOnStart)) {
            m.upward = 1;
            m.currentStep = 0;
            restart = true;
            for (SequencerTrackState& s : m.track) {
                s.accentStage = 0;
                s.accentTime = 0.0f;
            }
        }
        break;
    case Transport::Stopping:
        if (p.has(SequencerFlag::StopClears)) {
            // The gates are left as they are and fall to off with the next stopped block, never through
            // "just off": a key held beside them keeps its note instead of starting a release.
            m.running = 0;
            clearValues(m);
            return;
        }
        break;
    default:
        break;
    }
    if (!m.running) return;

    const float blockMs = 32000.0f / context->sampleRate;
    const float tempo = p.has(SequencerFlag::FollowTempo) ? context->tempo : p.freeRate;
    for (int t = 0; t < kSequencerTracks; ++t) m.track[t].glideRate = curveRate(p.track[t].glideMs);
    float modulation = 0.0f;
    sumBlockModulation(descriptors + counts[0], sources + counts[0], counts + 1, 1, &modulation);
    m.phase += phaseAdvance(m, p, tempo, modulation, blockMs);

    if (restart) {
        restartSteps(m, p, context->random);
        enterStep(m, p, true, blockMs);
    } else if (m.phase >= kSequencerStepPhase) {
        // The part of this block past the step was counted at the pace of the step that ended; at the
        // next step's pace the same time is worth more or fewer units. Carried over unscaled, every
        // swung pair would end early and the pattern would run ahead of the tempo. At most one step
        // is carried: a runaway tempo steps once a block and leaves no backlog to flood the outputs
        // with once it recovers.
        const float endingPace = swingFactor(m, p);
        m.longSwing ^= 1;
        const float carried = (m.phase - kSequencerStepPhase) * endingPace / swingFactor(m, p);
        m.phase = carried < kSequencerStepPhase ? carried : kSequencerStepPhase;
        m.sinceStep = 0.0f;
        advanceStep(m, p, context->random);
        enterStep(m, p, false, blockMs);
    }

    for (int t = 0; t < kSequencerTracks; ++t)
        if (p.track[t].enabled) runTrack(m, t, p.track[t], blockMs);
    m.sinceStep += blockMs;
}

} // namespace corvex
