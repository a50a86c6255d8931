// The step sequencer's words (type 41): the whole-block load and the one-word setter.
#include "engine/modules/types/StepSequencer.h"

#include "engine/dsp/ModuleValues.h"
#include "engine/modules/EchoCodes.h"

#include <algorithm>
#include <cstddef>
#include <iterator>

namespace corvex {

static_assert(sizeof(StepSequencerParams) <= ParameterRecord::kBodyBytes, "the record holds three tracks");

namespace {

constexpr int kBlockWords = 417;
constexpr int kFirstTrackWord = 18;
constexpr int kTrackWords = 133;
constexpr int kAccentBits = 5;
constexpr int kGlideBits = 37;
constexpr int kGateBits = 69;
constexpr int kStepValues = 101;
constexpr float kMinimumTime = 0.001f;   // ms: glide and accent rates divide by these
constexpr float kMinimumRate = 0.001f;   // beats per minute, for a rate set word by word
constexpr float kRateScale = 240.0f;
constexpr float kLongestSwing = 0.98f;   // beyond it one step of a pair would take no time
constexpr int kLargestStepsWord = 128;   // 32 steps per beat

constexpr float kTimeCurve[] = {0.0f, 7.5f, 15.0f, 30.0f, 60.0f, 120.0f, 240.0f,
                                480.0f, 860.0f, 1720.0f, 3440.0f, 6880.0f, 13600.0f};

void setField(uint32_t& flags, int shift, uint32_t mask, uint32_t value) {
    flags = (flags & ~(mask << shift)) | ((value & mask) << shift);
}

void setFlag(uint32_t& flags, uint32_t flag, bool on) { flags = on ? (flags | flag) : (flags & ~flag); }

void setBit(uint32_t& mask, int step, int16_t word) {
    const uint32_t bit = 1u << step;
    mask = (word & 1) ? (mask | bit) : (mask & ~bit);
}

// Out-of-range step numbers and modes are held at the nearest one the fields can carry rather
// than wrapped, so a word one past the end still means the end.
uint32_t clampedWord(int16_t word, int high) { return uint32_t(std::clamp<int>(word, 0, high)); }

enum class Echo { None, Reported, Unknown };

Echo storeTrackParameter(SequencerTrackParams& t, int k, int16_t word, float* echo, int* code) {
    const float x = wordValue(word);
    if (k >= kStepValues) {
        t.value[k - kStepValues] = 2.0f * x - 1.0f;
        return Echo::None;
    }
    if (k >= kGateBits) {
        setBit(t.gateMask, k - kGateBits, word);
        return Echo::None;
    }
    if (k >= kGlideBits) {
        setBit(t.glideMask, k - kGlideBits, word);
        return Echo::None;
    }
    if (k >= kAccentBits) {
        setBit(t.accentMask, k - kAccentBits, word);
        return Echo::None;
    }
    switch (k) {
    case 0: t.range = float(word); return Echo::None;
    case 1: *echo = t.glideMs = std::max(sequencerTimeCurve(x), kMinimumTime); *code = echo::Milliseconds; return Echo::Reported;
    case 2: *echo = t.attackMs = std::max(sequencerTimeCurve(x), kMinimumTime); *code = echo::Milliseconds; return Echo::Reported;
    case 3: *echo = t.level = x; *code = echo::Fraction; return Echo::Reported;
    case 4: *echo = t.decayMs = std::max(sequencerTimeCurve(x), kMinimumTime); *code = echo::Milliseconds; return Echo::Reported;
    default: return Echo::Unknown;
    }
}

// Parameters 7 and 8 (step reports, track count) change only with a whole block.
Echo storeParameter(StepSequencerParams& p, int parameter, int16_t word, float* echo, int* code) {
    using namespace SequencerFlag;
    const float x = wordValue(word);
    if (parameter >= kFirstTrackWord && parameter < kFirstTrackWord + kSequencerTracks * kTrackWords) {
        const int t = (parameter - kFirstTrackWord) / kTrackWords;
        return storeTrackParameter(p.track[t], (parameter - kFirstTrackWord) % kTrackWords, word, echo, code);
    }
    switch (parameter) {
    case 9:
        p.freeRate = std::max(kRateScale * x, kMinimumRate);
        *echo = p.freeRate;
        *code = echo::BeatsPerMinute;
        return Echo::Reported;
    case 10: p.stepsPerBeat = float(clampedWord(word, kLargestStepsWord)) * 0.25f; return Echo::None;
    case 11: setField(p.flags, FirstStepShift, 31u, clampedWord(word, 31)); return Echo::None;
    case 12: setField(p.flags, LastStepShift, 31u, clampedWord(word, 31)); return Echo::None;
    case 13:
        p.swing = std::clamp(x, -kLongestSwing, kLongestSwing);
        *echo = 100.0f * p.swing;
        *code = echo::Percent;
        return Echo::Reported;
    case 14: setField(p.flags, ModeShift, 15u, clampedWord(word, 15)); return Echo::None;
    case 15: setFlag(p.flags, FollowTempo, word != 0); return Echo::None;
    case 16: setFlag(p.flags, RestartOnStart, word != 0); return Echo::None;
    case 17: setFlag(p.flags, StopClears, word != 0); return Echo::None;
    default: return Echo::Unknown;
    }
}

} // namespace

float sequencerTimeCurve(float x) {
    constexpr int kSpans = int(std::size(kTimeCurve)) - 1;
    const float t = std::clamp(x, 0.0f, 1.0f) * float(kSpans);
    const int i = std::min(int(t), kSpans - 1);
    const float f = t - float(i);
    return (1.0f - f) * kTimeCurve[i] + f * kTimeCurve[i + 1];
}

void loadStepSequencerBlock(const uint16_t* data, int wordCount, ParameterRecord* record, EngineContext*) {
    // A truncated block would leave half a pattern behind; the record keeps the last whole one.
    if (data == nullptr || record == nullptr || wordCount < kBlockWords) return;
    StepSequencerParams& p = record->as<StepSequencerParams>();
    auto word = [data](int j) { return int16_t(data[j + 2]); };
    float echo = 0.0f;
    int code = echo::Decibels;
    setFlag(p.flags, SequencerFlag::ReportSteps, word(7) != 0);
    const uint32_t tracks = clampedWord(word(8), kSequencerTracks);
    setField(p.flags, SequencerFlag::TrackCountShift, 3u, tracks);
    for (int j = 9; j < kBlockWords; ++j) storeParameter(p, j, word(j), &echo, &code);
    // A stored rate of 0 is kept: the clock then stands, as it does with no steps per beat.
    p.freeRate = kRateScale * wordValue(word(9));
    for (int t = 0; t < kSequencerTracks; ++t) p.track[t].enabled = uint32_t(t) < tracks ? 1 : 0;
}

void setStepSequencerParameter(int16_t value, int parameter, float* echoValue, int* echoCode, ParameterRecord* record,
                               EngineContext*) {
    if (record == nullptr) return;
    float echo = 0.0f;
    int code = echo::Decibels;
    if (storeParameter(record->as<StepSequencerParams>(), parameter, value, &echo, &code) != Echo::Reported) return;
    if (echoValue) *echoValue = echo;
    if (echoCode) *echoCode = code;
}

} // namespace corvex
