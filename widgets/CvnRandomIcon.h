// The random tool's picture, 20 x 20: a die showing five. Only its alpha counts; buttons fill it with their icon colour.
#pragma once

#include <juce_graphics/juce_graphics.h>

namespace corvex {

struct CvnRandomIcon {
    static constexpr int kWidth = 20;
    static constexpr int kHeight = 20;

    // Drawn once and shared through the library's image cache.
    static juce::Image get();
    static juce::Image draw();
};

} // namespace corvex
