// Where a panel's children go, as constexpr tables of rectangles measured against the panel's own size.
#pragma once

#include <juce_graphics/juce_graphics.h>

namespace corvex {

// A negative x or y counts from the right or bottom edge; a width or height of zero or less is the parent's
// width or height plus it.
struct LayoutRect {
    int x, y, w, h;

    juce::Rectangle<int> within(int width, int height) const {
        return {x < 0 ? width + x : x, y < 0 ? height + y : y, w > 0 ? w : width + w, h > 0 ? h : height + h};
    }
};

} // namespace corvex
