// A viewport that others can watch: after its own handling, it tells each listener (the latest added first)
// when its viewed component changes and when its visible area moves.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include "presetmap/view/ViewportListener.h"

namespace corvex {

class WatchedViewport : public juce::Viewport {
public:
    explicit WatchedViewport(const juce::String& componentName = {}) : juce::Viewport(componentName) {}

    void addViewportListener(ViewportListener* listener) { listeners_.add(listener); }
    void removeViewportListener(ViewportListener* listener) { listeners_.remove(listener); }

    void visibleAreaChanged(const juce::Rectangle<int>& area) override;
    void viewedComponentChanged(juce::Component* component) override;

private:
    juce::ListenerList<ViewportListener> listeners_;
};

} // namespace corvex
