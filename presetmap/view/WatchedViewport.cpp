#include "presetmap/view/WatchedViewport.h"

namespace corvex {

void WatchedViewport::visibleAreaChanged(const juce::Rectangle<int>& area) {
    juce::Viewport::visibleAreaChanged(area);
    listeners_.call([this, area](ViewportListener& l) {
        l.visibleAreaChanged(this, area.getX(), area.getY(), area.getWidth(), area.getHeight());
    });
}

void WatchedViewport::viewedComponentChanged(juce::Component* component) {
    juce::Viewport::viewedComponentChanged(component);
    listeners_.call([this, component](ViewportListener& l) { l.viewedComponentChanged(this, component); });
}

} // namespace corvex
