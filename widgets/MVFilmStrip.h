// Widget pictures: one PNG compiled into the program, fetched through the library's image cache, and the film
// strips cut from it (frames stacked top to bottom, each as wide as the image).
#pragma once

#include <cstddef>

#include <juce_gui_basics/juce_gui_basics.h>

namespace corvex {

// Null data or data that is no image gives an invalid image, which draws nothing.
juce::Image loadWidgetImage(const void* pngData, size_t pngSize);

// Draws frame `frame` (clamped to the strip) of a strip of `frames` frames at (0, 0), unscaled. A strip too
// short to hold one row per frame draws nothing.
void drawFilmStripFrame(juce::Graphics& g, const juce::Image& strip, int frames, int frame);

} // namespace corvex
