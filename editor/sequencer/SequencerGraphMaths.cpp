#include "editor/sequencer/SequencerGraphMaths.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace corvex::seqgraph {

PointerStep pointerStep(juce::Point<int> at, int stepWidth, int height) {
    const int x = std::clamp(at.x, kFrameLeft, kSteps * stepWidth + kFrameLeft);
    const int y = std::clamp(at.y, kGridTop, height);
    return {std::min((x - kFrameLeft) / stepWidth, kSteps - 1),
            static_cast<float>(height - y) / static_cast<float>(height - kGridTop)};
}

bool isOnLengthBar(int x, int lengthIndex, int stepWidth) {
    return x > kFirstBarLeft && x <= kFirstBarLeft + (lengthIndex + 1) * stepWidth;
}

int lengthIndexAt(int x, int stepWidth) {
    const int clamped = std::clamp(x, kFrameLeft, kSteps * stepWidth + kFrameLeft);
    return std::min((clamped - kFrameLeft) / stepWidth, kSteps - 1);
}

// Written as the row's readers expect to find it: the step's start plus half a step, in float steps.
float lengthValue(int lengthIndex) {
    return static_cast<float>(lengthIndex) * (1.0f / kSteps) + 1.0f / (2 * kSteps);
}

int stepOf(float value, int steps) {
    const float scaled = std::trunc(value * static_cast<float>(steps));
    if (!(scaled > 0.0f)) return 0;
    return static_cast<int>(std::min(scaled, static_cast<float>(steps - 1)));
}

int semitonesOf(float value) {
    const float t = 2.0f * value - 1.0f;
    return static_cast<int>(t >= 0.0f ? std::trunc(t * 24.0f + 0.5f) : std::trunc(t * 24.0f - 0.5f));
}

juce::String stepText(int step, float value) {
    char text[96];
    std::snprintf(text, sizeof text, "Step: %d\nVal: %.3f\nQ: %+d semi-tones", step + 1,
                  2.0 * static_cast<double>(value) - 1.0, semitonesOf(value));
    return text;
}

juce::Rectangle<int> barOf(int step, float value, bool linked, int stepWidth, int height) {
    const int span = height - kGridTop;
    const int mid = centreLine(height);
    int top = mid;
    int barHeight = 0;
    if (value >= 0.5f) {
        top = kGridTop + static_cast<int>((1.0f - value) * static_cast<float>(span));
        barHeight = mid - top;
    } else {
        barHeight = static_cast<int>((0.5f - value) * static_cast<float>(span));
    }
    return {kFirstBarLeft + step * stepWidth, top, linked ? stepWidth : stepWidth - 1, barHeight};
}

float LineSpan::valueAt(int step) const {
    if (hi == lo) return loValue;
    return loValue + (hiValue - loValue) * static_cast<float>(step - lo) / static_cast<float>(hi - lo);
}

LineSpan lineSpan(int anchorStep, float anchorValue, int currentStep, float currentValue) {
    if (anchorStep <= currentStep) return {anchorStep, anchorValue, currentStep, currentValue};
    return {currentStep, currentValue, anchorStep, anchorValue};
}

int quantisationBeat(float value) { return stepOf(value, 129) / 4; }

} // namespace corvex::seqgraph
