// The browser's zoom: what the zoom keys make of the slider's value, and where the map's view goes so that
// its centre stays on the same spot of the map.
#pragma once

#include <optional>
#include <string_view>

#include <juce_graphics/juce_graphics.h>

namespace corvex {

constexpr double kMinMapZoom = 0.5;
constexpr double kMaxMapZoom = 5.0;

// "ZI" one step in, "ZO" one out, "ZA" the map's own size, "ZF" the whole map in the view; kept within the
// slider's range. Nothing for any other message.
std::optional<double> zoomAfterMessage(std::string_view message, double zoom);

// The view's new top-left corner on the map when its zoom goes from oldZoom to newZoom; view is the part of
// the map shown before, in the old map's pixels. The view never runs past the map's right or lower edge
// nor before its origin.
juce::Point<int> viewPositionAfterZoom(float oldZoom, float newZoom, juce::Rectangle<int> view);

} // namespace corvex
