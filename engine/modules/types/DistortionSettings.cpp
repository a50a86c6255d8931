// The distortion's settings: parameter words into drive, feedback, damping, symmetry, wet and output gains.
#include <cmath>

#include "engine/dsp/ConversionCurves.h"
#include "engine/dsp/ModuleValues.h"
#include "engine/modules/EchoCodes.h"
#include "engine/modules/types/Distortion.h"
#include "engine/modules/types/EffectTail.h"

namespace corvex {

namespace {

// Eleven points each, for word values 0.0, 0.1, ..., 1.0.
constexpr float kFeedbackCurve[11] = {0.0f, 0.003f, 0.01f, 0.05f, 0.1f, 0.2f, 0.25f, 0.5f, 0.8f, 0.9f, 1.0f};
// Its last point jumps to 5: a full damping word turns the pre-stage into -4x + 5s.
constexpr float kDampingCurve[11] = {0.0f, 0.003f, 0.01f, 0.05f, 0.1f, 0.2f, 0.25f, 0.5f, 0.8f, 0.9f, 5.0f};
// Never quite 0: even a symmetry word of 0 offsets every driven sample a little.
constexpr float kSymmetryCurve[11] = {0.001f, 0.003f, 0.01f, 0.05f, 0.1f, 0.2f, 0.25f, 0.5f, 0.8f, 0.9f, 1.0f};
constexpr float kMode0Drive[11] = {1.0f, 1.2f, 1.5f, 1.8f, 2.1f, 2.6f, 3.0f, 3.7f, 4.9f, 5.0f, 6.0f};
constexpr float kMode2Drive[11] = {1.0f, 1.01f, 1.1f, 1.25f, 1.3f, 1.5f, 1.75f, 2.0f, 3.0f, 5.0f, 10.0f};

// Wet gain of modes 0..5; mode 6 plays parameter 16 as it is.
constexpr float kModeWetGain[6] = {0.3f, 0.000001f, 1.0f, 1.0f, 1.0f, 1.0f};

constexpr int kBlockWords = 19;
constexpr int kFirstParameter = 7;
constexpr int kLastParameter = 18;

// The bypass is the plain word (0 or 1) in stored blocks as in messages: the effect row writes it
// that way, so a reloaded preset keeps its bypass.
constexpr EffectTail kTail{14, 17, 18, echo::Percent, true};

// Stores one parameter; answers false for an index the module has no use for.

bool store(DistortionParams& p, int parameter, int16_t word, float& echo, int& code) {
    const float v = wordValue(word);
    switch (parameter) {
    case 7:
        p.feedback = tenSegmentLookup(word, kFeedbackCurve);
        echo = p.feedback;
        code = echo::Fraction;
        return true;
    case 8:
        p.driveWord = word;
        p.drive = distortionDrive(p.mode, word);
        echo = p.drive;
        code = echo::Fraction;
        return true;
    case 9:
        // A mode changed on its own re-derives what depends on it, so the drive never keeps the curve
        // of the mode before.
        p.mode = word;
        p.drive = distortionDrive(p.mode, p.driveWord);
        p.wetGain = distortionWetGain(p.mode, p.wetValue);
        echo = float(word);
        code = echo::Selection;
        return true;
    case 10:
        p.spare10 = v;
        echo = v;
        code = echo::Fraction;
        return true;
    case 11:
        p.damping = tenSegmentLookup(word, kDampingCurve);
        echo = p.damping;
        code = echo::Fraction;
        return true;
    case 12:
        p.quality = word;
        echo = float(word);
        code = echo::Selection;
        return true;
    case 13:
        p.spare13 = word;
        echo = float(word);
        code = echo::Switch;
        return true;
    case 15:
        p.symmetry = tenSegmentLookup(word, kSymmetryCurve);
        echo = p.symmetry;
        code = echo::Fraction;
        return true;
    case 16:
        p.wetValue = v;
        p.wetGain = distortionWetGain(p.mode, v);
        echo = p.wetGain;
        code = echo::Fraction;
        return true;
    default:
        return storeEffectTail(kTail, {&p.mix, &p.outputGain, &p.bypass, &p.outputDecibels}, parameter, word, echo,
                               code);
    }
}

} // namespace

float distortionDrive(int32_t mode, int word) {
    switch (mode) {
    case 0:
        return tenSegmentLookup(word, kMode0Drive);
    case 2:
        return tenSegmentLookup(word, kMode2Drive);
    case 3:
        return 6.359997f * wordValue(int16_t(word)) + 1.44f;
    case 4:
    case 5:
        return 1.0f;
    default:
        return wordValue(int16_t(word));
    }
}

float distortionWetGain(int32_t mode, float wetValue) {
    return (mode >= 0 && mode < 6) ? kModeWetGain[mode] : wetValue;
}

void loadDistortionBlock(const uint16_t* data, int wordCount, ParameterRecord* record, EngineContext*) {
    if (data == nullptr || record == nullptr || wordCount < kBlockWords) return;
    DistortionParams& p = record->as<DistortionParams>();
    float echo = 0.0f;
    int code = echo::Decibels;
    for (int j = kFirstParameter; j <= kLastParameter; ++j) store(p, j, int16_t(data[j + 2]), echo, code);
    p.drive = distortionDrive(p.mode, p.driveWord);
    p.wetGain = distortionWetGain(p.mode, p.wetValue);
}

void setDistortionParameter(int16_t value, int parameter, float* echoValue, int* echoCode, ParameterRecord* record,
                            EngineContext*) {
    if (record == nullptr) return;
    float echo = 0.0f;
    int code = echo::Decibels;
    if (!store(record->as<DistortionParams>(), parameter, value, echo, code)) return;
    if (echoValue) *echoValue = echo;
    if (echoCode) *echoCode = code;
}

} // namespace corvex
