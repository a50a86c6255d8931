// One line of the small LCD: its name is its text, drawn in red, faint when idle, brighter under the mouse and
// when it is the chosen line.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace corvex {

class CvnSmallLcdButton : public juce::Button {
public:
    static constexpr float kIdleAlpha = 0.5f;
    static constexpr float kHoverAlpha = 1.0f;
    static constexpr float kChosenAlpha = 0.8f;

    explicit CvnSmallLcdButton(const juce::String& text);

    // The chosen line keeps its alpha under the mouse, so the choice stays readable while pointing at it.
    static float alphaFor(bool isMouseOver, bool isOn) { return isOn ? kChosenAlpha : isMouseOver ? kHoverAlpha : kIdleAlpha; }

    void paintButton(juce::Graphics& g, bool isMouseOver, bool isButtonDown) override;
};

} // namespace corvex
