// The pen tool's picture, 14 x 14: a pencil lying from the lower left to the upper right, its point at the lower left. Only its alpha counts; buttons fill it with their icon colour.
#pragma once

#include <juce_graphics/juce_graphics.h>

namespace corvex {

struct CvnPenIcon {
    static constexpr int kWidth = 14;
    static constexpr int kHeight = 14;

    // Drawn once and shared through the library's image cache.
    static juce::Image get();
    static juce::Image draw();
};

} // namespace corvex
