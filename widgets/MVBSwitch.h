// A switch drawn from a film strip of one frame per position; position 0 is the strip's last frame.
#pragma once

#include <cstddef>

#include "widgets/MVSwitch.h"

namespace corvex {

class MVBSwitch : public MVSwitch {
public:
    MVBSwitch(MVGuiInterface* gui, int index, int positions, bool inverted, const void* pngData, size_t pngSize);

    int getFrame() const { return getPositionCount() - 1 - getPosition(); }
    void paint(juce::Graphics& g) override;

private:
    juce::Image strip_;
};

} // namespace corvex
