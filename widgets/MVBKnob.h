// A knob drawn from a film strip of 64 frames.
#pragma once

#include <cstddef>

#include "widgets/MVKnob.h"

namespace corvex {

class MVBKnob : public MVKnob {
public:
    static constexpr int kFrames = 64;

    MVBKnob(MVGuiInterface* gui, int index, const void* pngData, size_t pngSize);

    // trunc(value x 63): only the very top of the range shows the last frame.
    int getFrame() const;
    void paint(juce::Graphics& g) override;

private:
    juce::Image strip_;
};

} // namespace corvex
