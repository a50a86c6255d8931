#include "presetmap/view/MapZoom.h"

#include <algorithm>

#include "presetmap/view/CPresetMapComponent.h"

namespace corvex {

std::optional<double> zoomAfterMessage(std::string_view message, double zoom) {
    std::optional<double> next;
    if (message == "ZI") next = zoom + 1.0;
    else if (message == "ZO") next = zoom - 1.0;
    else if (message == "ZA") next = 1.0;
    else if (message == "ZF") next = kMinMapZoom;
    if (next) next = std::clamp(*next, kMinMapZoom, kMaxMapZoom);
    return next;
}

namespace {

int axisAfterZoom(int newSize, float centre, int viewSize) {
    const int farthest = newSize - viewSize;
    return std::max(0, std::min(farthest, static_cast<int>(static_cast<float>(newSize) * centre) - viewSize / 2));
}

} // namespace

juce::Point<int> viewPositionAfterZoom(float oldZoom, float newZoom, juce::Rectangle<int> view) {
    const auto size = [](float zoom) { return static_cast<int>(zoom * static_cast<float>(CPresetMapComponent::kMapSize)); };
    const float oldSize = static_cast<float>(std::max(1, size(oldZoom)));
    const float cx = (static_cast<float>(view.getX()) + static_cast<float>(view.getWidth()) * 0.5f) / oldSize;
    const float cy = (static_cast<float>(view.getY()) + static_cast<float>(view.getHeight()) * 0.5f) / oldSize;
    const int newSize = size(newZoom);
    return {axisAfterZoom(newSize, cx, view.getWidth()), axisAfterZoom(newSize, cy, view.getHeight())};
}

} // namespace corvex
