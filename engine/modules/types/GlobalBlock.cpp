// Type 61: the kernel-global block that configures the arpeggiator (switches, mode, range, rate).
#include "engine/modules/types/GlobalBlock.h"

#include "engine/dsp/TempoSync.h"
#include "engine/modules/EchoCodes.h"

namespace corvex {

namespace {

constexpr float kFreeRatePoints[] = {kSlowestFreeRate, 60.0f, 171.0f, 480.0f, 1225.0f};
constexpr int kFreeRateSegments = static_cast<int>(sizeof(kFreeRatePoints) / sizeof(kFreeRatePoints[0])) - 1;

constexpr int kBlockWords = 15;

constexpr int kWords[] = {3, 7, 8, 10, 11, 13, 14};

int32_t clampTo(int32_t v, int32_t lo, int32_t hi) { return v < lo ? lo : (v > hi ? hi : v); }

// Stored words come from streams and files we do not control, so mode and range are forced into the
// ranges the note generator indexes with. Returns false for a word this block does not carry.
bool storeWord(GlobalBlockParams& p, int word, int16_t value) {
    switch (word) {
    case 3: p.stateWord = static_cast<uint16_t>(value); return true;
    case 7: p.layer1Arpeggiator = value; return true;
    case 8: p.layer2Arpeggiator = value; return true;
    case 10: p.mode = clampTo(value, 0, kArpeggioModeCount - 1); return true;
    case 11: p.octaveRange = clampTo(value, 0, kMaxOctaveRange); return true;
    case 13: {
        // Both readings are kept so that flipping the sync switch needs no stored rate word.
        const float r = static_cast<float>(value) * (1.0f / 16384.0f);
        p.freeRate = arpeggioFreeRate(r);
        p.syncCode = mapParam16Segments(r);
        return true;
    }
    case 14: p.tempoSync = value; return true;
    default: return false;
    }
}

float integerEcho(const GlobalBlockParams& p, int word) {
    switch (word) {
    case 3: return static_cast<float>(p.stateWord);
    case 7: return static_cast<float>(p.layer1Arpeggiator);
    case 8: return static_cast<float>(p.layer2Arpeggiator);
    case 10: return static_cast<float>(p.mode);
    case 11: return static_cast<float>(p.octaveRange);
    default: return static_cast<float>(p.tempoSync);
    }
}

} // namespace

float arpeggioFreeRate(float r) {
    if (!(r > 0.0f)) return kFreeRatePoints[0];
    if (r >= 1.0f) return kFreeRatePoints[kFreeRateSegments];
    const float position = r * static_cast<float>(kFreeRateSegments);
    // Scaling by the power of two 4 is exact, so r below 1 never lands past the last segment.
    const int segment = static_cast<int>(position);
    const float t = position - static_cast<float>(segment);
    return kFreeRatePoints[segment] + (kFreeRatePoints[segment + 1] - kFreeRatePoints[segment]) * t;
}

// A block cut short is not applied at all: half a configuration would arpeggiate with stale fields.
void globalBlockLoad(const uint16_t* data, int wordCount, ParameterRecord* record, EngineContext*) {
    if (data == nullptr || record == nullptr || wordCount < kBlockWords) return;
    auto& p = record->as<GlobalBlockParams>();
    for (int word : kWords) storeWord(p, word, static_cast<int16_t>(data[word + 2]));
}

void globalBlockSet(int16_t value, int parameter, float* echoValue, int* echoCode, ParameterRecord* record,
                    EngineContext*) {
    if (record == nullptr) return;
    auto& p = record->as<GlobalBlockParams>();
    if (!storeWord(p, parameter, value)) return;
    float echo = 0.0f;
    int code = echo::Selection;
    if (parameter == 13) {
        const bool sync = p.tempoSync != 0;
        echo = sync ? p.syncCode : p.freeRate;
        code = sync ? echo::TempoRatio : echo::BeatsPerMinute;
    } else {
        echo = integerEcho(p, parameter);
    }
    if (echoValue) *echoValue = echo;
    if (echoCode) *echoCode = code;
}

} // namespace corvex
