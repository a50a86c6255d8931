#include "engine/modules/types/EffectTail.h"

#include "engine/dsp/ConversionCurves.h"
#include "engine/dsp/ModuleValues.h"

namespace corvex {

namespace {

// Below this a float gain turns denormal.
constexpr double kSmallestGain = 1e-30;

} // namespace

bool storeEffectTail(const EffectTail& tail, const EffectTailFields& fields, int parameter, int16_t word,
                     float& echo, int& code) {
    if (parameter < 0) return false;
    const float x = wordValue(word);
    if (parameter == tail.mixParameter) {
        *fields.mix = x;
        echo = x;
        code = tail.mixEcho;
        return true;
    }
    if (parameter == tail.outputParameter) {
        const float db = levelToDecibels(x);
        const float gain = decibelsToGain(db);
        if (tail.keepsDecibels) {
            *fields.outputDecibels = db;
            *fields.outputGain = gain < kSmallestGain ? 0.0f : gain;
        } else {
            *fields.outputGain = gain;
        }
        echo = db;
        code = echo::Decibels;
        return true;
    }
    if (parameter == tail.bypassParameter) {
        *fields.bypass = word;
        echo = float(word);
        code = echo::Switch;
        return true;
    }
    return false;
}

} // namespace corvex
