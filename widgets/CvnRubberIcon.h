// The rubber tool's picture, 13 x 9: a slanted eraser block, its working end filled. Only its alpha counts; buttons fill it with their icon colour.
#pragma once

#include <juce_graphics/juce_graphics.h>

namespace corvex {

struct CvnRubberIcon {
    static constexpr int kWidth = 13;
    static constexpr int kHeight = 9;

    // Drawn once and shared through the library's image cache.
    static juce::Image get();
    static juce::Image draw();
};

} // namespace corvex
