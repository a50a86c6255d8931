// The reverb's settings: parameter words into feedback, damping frequencies, pre-delay, mix and output gain.
#include <cmath>
#include <cstddef>

#include "engine/dsp/ConversionCurves.h"
#include "engine/dsp/ModuleValues.h"
#include "engine/modules/EchoCodes.h"
#include "engine/modules/types/EffectTail.h"
#include "engine/modules/types/Reverb.h"

namespace corvex {

namespace {

constexpr int kBlockWords = 17;
constexpr int kFirstParameter = 7;
constexpr int kSpreadParameter = 14;

// The largest size keeps the network's loop gain below one, so that no setting rings forever.
constexpr float kLargestFeedback = 0.95f;
constexpr double kHighDampingBase = 40.0;
constexpr double kHighDampingStep = 1.059;
constexpr double kHighDampingSteps = 80.0;
// Hz at x = i / 3.
constexpr float kLowDampingPoints[] = {60.0f, 200.0f, 300.0f, 400.0f};
// Milliseconds at x = i / 7.
constexpr float kPreDelayPoints[] = {1.0f, 25.0f, 50.0f, 75.0f, 100.0f, 125.0f, 150.0f, 200.0f};

constexpr EffectTail kTail{13, 15, 16};

bool store(ReverbParams& p, int parameter, int16_t word, float& echo, int& code) {
    const float x = wordValue(word);
    switch (parameter) {
    case 7:
        p.feedback = reverbFeedback(x);
        echo = p.feedback; code = echo::Fraction; return true;
    case 8:
        p.sizeCompanion = reverbFeedback(x);
        echo = p.sizeCompanion; code = echo::Fraction; return true;
    case 9:
        p.highDamping = reverbHighDamping(x);
        echo = p.highDamping; code = echo::Hertz; return true;
    case 10:
        p.highDampingCompanion = reverbHighDamping(x);
        echo = p.highDampingCompanion; code = echo::Hertz; return true;
    case 11:
        p.lowDamping = reverbLowDamping(x);
        echo = p.lowDamping; code = echo::Hertz; return true;
    case 12:
        p.preDelay = reverbPreDelay(x);
        echo = p.preDelay; code = echo::Milliseconds; return true;
    case 14:
        p.spread = word;
        echo = float(word); code = echo::Switch; return true;
    default:
        return storeEffectTail(kTail, {&p.mix, &p.outputGain, &p.bypass}, parameter, word, echo, code);
    }
}

} // namespace

// The same from the setter and from a stored block: a sound saved while it rang with a tail of a given
// length must come back with that tail, not with a full word turned into a loop gain of one.
float reverbFeedback(float x) { return kLargestFeedback * heldWithin(x, -1.0f, 1.0f); }

float reverbHighDamping(float x) {
    return float(kHighDampingBase * std::pow(kHighDampingStep, kHighDampingSteps * double(x)));
}

float reverbLowDamping(float x) { return pointCurve(kLowDampingPoints, x); }
float reverbPreDelay(float x) { return pointCurve(kPreDelayPoints, x); }

// A stored block always plays with the spread on: no row sets it, and every stored sound was heard so.
void loadReverbBlock(const uint16_t* data, int wordCount, ParameterRecord* record, EngineContext*) {
    // A truncated block would leave half a setting behind; the record keeps the last whole one.
    if (data == nullptr || record == nullptr || wordCount < kBlockWords) return;
    ReverbParams& p = record->as<ReverbParams>();
    float echo = 0.0f;
    int code = echo::Decibels;
    for (int parameter = kFirstParameter; parameter < kBlockWords; ++parameter)
        if (parameter != kSpreadParameter) store(p, parameter, int16_t(data[parameter + 2]), echo, code);
    p.spread = 1;
}

void setReverbParameter(int16_t value, int parameter, float* echoValue, int* echoCode, ParameterRecord* record,
                        EngineContext*) {
    if (record == nullptr) return;
    float echo = 0.0f;
    int code = echo::Decibels;
    if (!store(record->as<ReverbParams>(), parameter, value, echo, code)) return;
    if (echoValue) *echoValue = echo;
    if (echoCode) *echoCode = code;
}

} // namespace corvex
