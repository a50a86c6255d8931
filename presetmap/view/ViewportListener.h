// What a viewport tells those who watch it: its viewed component changed, or the part of it shown moved.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace corvex {

class ViewportListener {
public:
    virtual ~ViewportListener() = default;
    virtual void viewedComponentChanged(juce::Viewport* viewport, juce::Component* component) = 0;
    // The visible area, in the viewed component's pixels.
    virtual void visibleAreaChanged(juce::Viewport* viewport, int x, int y, int width, int height) = 0;
};

} // namespace corvex
