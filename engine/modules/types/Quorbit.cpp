// The part's X/Y modulation generator (type 42): three block-rate LFOs, the point (X, Y) of the first
// two turned around the centre by the third, and the trajectory that the editor draws.
#include "engine/modules/EchoCodes.h"
#include "engine/modules/types/Quorbit.h"

#include <cmath>
#include <cstddef>

#include "engine/dsp/ModuleValues.h"
#include "engine/dsp/OscillatorWaveTables.h"
#include "engine/dsp/TempoSync.h"
#include "engine/modules/EngineContext.h"
#include "engine/modules/ModulationSum.h"
#include "engine/modules/ModuleDataReport.h"
#include "engine/modules/ModulePools.h"

namespace corvex {

static_assert(sizeof(QuorbitModule) <= sizeof(VoiceModuleWrapperC), "the X/Y module comes from pool 3");
static_assert(offsetof(QuorbitModule, ports) == offsetof(PortedModule, ports),
              "the framework finds the ports where every ported module keeps them");
static_assert(sizeof(QuorbitParams) <= ParameterRecord::kBodyBytes, "the record holds the X/Y settings");

namespace {

constexpr int kBlockWords = 23;
constexpr int kModulationInputs = 4;
constexpr int kRateModulation = 3; // only the third LFO's rate follows modulation
constexpr int kTrajectoryEvery = 10; // a point when the counter passes this: every 11 blocks
constexpr float kAngleRadians = 6.283f;
constexpr float kAngleDegrees = 360.0f;
constexpr float kHalfTurn = 3.1415927f;
constexpr float kTrajectoryScale = 0.35f;
constexpr float kPayloadScale = 16384.0f;
constexpr double kPhaseTurn = 4294967296.0;

// Hz over the rate word 0 .. 1 in ten equal spans.
constexpr float kRateCurve[] = {0.0f, 0.02f, 0.05f, 0.1f, 0.5f, 1.0f, 3.5f, 9.0f, 15.0f, 30.0f, 50.0f};

// A rate word of 0 or below has no tempo code: the synced LFO stands still there.
float quorbitSyncCode(float v) { return v > 0.0f ? mapParam16Segments(v) : 0.0f; }

bool storeParameter(QuorbitParams& p, int parameter, int16_t word, float* echo, int* code) {
    const float v = wordValue(word);
    switch (parameter) {
    case 8: case 9: case 10:
        p.shape[parameter - 8] = word;
        *echo = float(word);
        *code = echo::Selection;
        return true;
    case 11: case 12: case 13: {
        const int k = parameter - 11;
        p.rateHz[k] = pointCurve(kRateCurve, v);
        p.syncCode[k] = quorbitSyncCode(v);
        const bool synced = p.midiSync != 0;
        *echo = synced ? p.syncCode[k] : p.rateHz[k];
        *code = synced ? echo::TempoRatio : echo::Hertz;
        return true;
    }
    case 14: case 15: case 16: case 17: case 18: case 19:
        p.spare[parameter - 14] = v;
        *echo = v;
        *code = parameter < 17 ? echo::Degrees : echo::Milliseconds;
        return true;
    case 20:
        p.angle = v * kAngleRadians;
        *echo = v * kAngleDegrees;
        *code = echo::Degrees;
        return true;
    case 21: p.midiSync = word; *echo = float(word); *code = echo::Milliseconds; return true;
    case 22: p.freeRunning = word; *echo = float(word); *code = echo::Switch; return true;
    default: return false;
    }
}

// State 1 (a start) of the trigger's first source; a buffer port carries no state.
bool triggered(const PortEntry* const* sources, const uint32_t* counts) {
    if (counts[0] == 0 || sources == nullptr) return false;
    const PortEntry* s = sources[0];
    return s != nullptr && s->isValuePort() && s->intValue == 1;
}

// The phase step of one block, wrapped into one turn. A rate that is no number (a tempo or a
// modulation gone wrong) or beyond any float holds the phase instead of converting garbage; a
// negative rate runs the LFO backwards.
uint32_t phaseStep(float hz, double blockSeconds) {
    const double turns = double(hz) * blockSeconds * kPhaseTurn;
    if (!std::isfinite(turns)) return 0u;
    const double wrapped = std::fmod(std::trunc(turns), kPhaseTurn);
    return uint32_t(int64_t(wrapped));
}

void writeInt32(uint8_t* at, int32_t value) {
    const uint32_t bits = uint32_t(value);
    at[0] = uint8_t(bits);
    at[1] = uint8_t(bits >> 8);
    at[2] = uint8_t(bits >> 16);
    at[3] = uint8_t(bits >> 24);
}

void sendTrajectory(QuorbitModule& m) {
    uint8_t* payload = requestModuleDataReport(m.head.context, *m.head.record, 0, kQuorbitTrajectoryBytes);
    if (payload == nullptr) return; // the editor misses one picture; the next one comes 55 blocks later
    int at = 0;
    for (const auto& point : m.trajectory)
        for (float value : point) {
            writeInt32(payload + at, int32_t(value * kPayloadScale));
            at += 4;
        }
}

void setOutput(PortEntry& port, float value) {
    if (port.users() > 0) port.value = value;
}

} // namespace

void initQuorbit(void* module, EngineContext*) {
    auto& m = *static_cast<QuorbitModule*>(module);
    for (PortEntry& port : m.ports) port.value = 0.0f;
    for (int k = 0; k < kQuorbitLfos; ++k) {
        m.phase[k] = 0;
        m.lastRate[k] = 0.0f;
    }
    m.trajectoryCounter = 0;
    m.trajectoryIndex = 0;
    for (auto& point : m.trajectory)
        for (float& value : point) value = 0.0f;
}

void processQuorbit(void* module, const ConnectionDescriptor* descriptors, const PortEntry* const* sources,
                    const uint32_t* counts) {
    auto& m = *static_cast<QuorbitModule*>(module);
    const EngineContext* context = m.head.context;
    if (counts == nullptr || context == nullptr || m.head.record == nullptr) return;
    const QuorbitParams& p = m.head.record->as<QuorbitParams>();

    if (p.freeRunning == 0 && triggered(sources, counts))
        for (uint32_t& phase : m.phase) phase = 0;

    float f[kQuorbitLfos];
    for (int k = 0; k < kQuorbitLfos; ++k)
        f[k] = p.midiSync != 0 ? tempoSyncFrequency(p.syncCode[k], context->tempo) : p.rateHz[k];
    float mod[kModulationInputs];
    sumBlockModulation(descriptors, sources, counts, kModulationInputs, mod);
    f[2] *= std::pow(256.0f, mod[kRateModulation]);

    const OscillatorWaveTables& tables = oscillatorWaveTables();
    const double blockSeconds = 32.0 / double(context->sampleRate);
    float w[kQuorbitLfos];
    float last = 0.0f; // a shape outside the four repeats the value computed before it in this block
    for (int k = 0; k < kQuorbitLfos; ++k) {
        const uint32_t phase = m.phase[k];
        m.phase[k] = phase + phaseStep(f[k], blockSeconds);
        m.lastRate[k] = f[k];
        const float* table = tables.wave(p.shape[k]);
        if (table != nullptr) {
            // The third LFO's sawtooth steps through its entries: the rotation turns in 256 notches.
            last = (k == 2 && p.shape[k] == 0) ? table[phase >> 24] : OscillatorWaveTables::read(table, phase);
        }
        w[k] = last;
    }

    const float theta = p.angle + (w[2] + 1.0f) * kHalfTurn;
    const float c = std::cos(theta);
    const float s = std::sin(theta);
    const float x = w[0] * c - w[1] * s;
    const float y = w[0] * s + w[1] * c;

    setOutput(m.ports[QuorbitOutput::Lfo1], w[0]);
    setOutput(m.ports[QuorbitOutput::Lfo2], w[1]);
    setOutput(m.ports[QuorbitOutput::Lfo3], w[2]);
    setOutput(m.ports[QuorbitOutput::Mean], (w[0] + w[1] + w[2]) / 3.0f);
    setOutput(m.ports[QuorbitOutput::RotatedX], x);
    setOutput(m.ports[QuorbitOutput::RotatedY], y);
    setOutput(m.ports[QuorbitOutput::RotatedMean], (x + y) * 0.5f);

    if (++m.trajectoryCounter <= kTrajectoryEvery) return;
    m.trajectoryCounter = 0;
    float* point = m.trajectory[m.trajectoryIndex % kQuorbitTrajectoryPoints];
    point[0] = kTrajectoryScale * x + 0.5f;
    point[1] = kTrajectoryScale * y + 0.5f;
    point[2] = (c + 1.0f) * 0.5f;
    point[3] = (s + 1.0f) * 0.5f;
    if (++m.trajectoryIndex < kQuorbitTrajectoryPoints) return;
    m.trajectoryIndex = 0;
    sendTrajectory(m);
}

void loadQuorbitBlock(const uint16_t* data, int wordCount, ParameterRecord* record, EngineContext*) {
    // A truncated block would leave half a setting behind; the record keeps the last whole one.
    if (data == nullptr || record == nullptr || wordCount < kBlockWords) return;
    QuorbitParams& p = record->as<QuorbitParams>();
    auto word = [data](int j) { return int16_t(data[j + 2]); };
    float echo = 0.0f;
    int code = echo::Decibels;
    // The sync switch first, so that the rates are converted under the setting they arrive with.
    storeParameter(p, 21, word(21), &echo, &code);
    for (int j = 8; j < kBlockWords; ++j) storeParameter(p, j, word(j), &echo, &code);
}

void setQuorbitParameter(int16_t value, int parameter, float* echoValue, int* echoCode, ParameterRecord* record,
                         EngineContext*) {
    if (record == nullptr) return;
    float echo = 0.0f;
    int code = echo::Decibels;
    if (!storeParameter(record->as<QuorbitParams>(), parameter, value, &echo, &code)) return;
    if (echoValue) *echoValue = echo;
    if (echoCode) *echoCode = code;
}

} // namespace corvex
