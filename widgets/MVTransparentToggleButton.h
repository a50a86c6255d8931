// A toggle button that draws nothing: the hit area laid over a tab that the tabbed component draws itself.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace corvex {

class MVTransparentToggleButton : public juce::ToggleButton {
public:
    explicit MVTransparentToggleButton(const juce::String& name) : juce::ToggleButton(name) {
        setName(name);
        setClickingTogglesState(true);
    }

    void paintButton(juce::Graphics&, bool, bool) override {}
};

} // namespace corvex
