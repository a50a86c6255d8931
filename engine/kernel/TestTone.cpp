#include "engine/kernel/TestTone.h"

#include <cmath>

#include "engine/dsp/SampleGuards.h"

namespace corvex {

void TestTone::addInto(int numOutputs, float* const* outputs, int frames, double sampleRate) {
    if (!isOn()) return;
    constexpr double kRadiansPerSecond = 2764.52;
    const double increment = kRadiansPerSecond / sampleRate;
    for (int i = 0; i < frames; ++i) {
        const float s = 0.2f * static_cast<float>(std::sin(phase_));
        for (int c = 0; c < numOutputs; ++c)
            if (outputs[c]) outputs[c][i] += s;
        phase_ += increment;
        if (phase_ >= kTwoPi) phase_ -= kTwoPi;
    }
}

} // namespace corvex
