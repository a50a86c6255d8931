// A rounded text button in the LCD palette; the look of the bound LCD button and of the channel chooser.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace corvex {

class CvnLcdTextButton : public juce::Button {
public:
    static constexpr float kSmallFontHeight = 10.0f;

    explicit CvnLcdTextButton(const juce::String& name) : juce::Button(name) {}

    void setSmallFont(bool small) {
        smallFont_ = small;
        repaint();
    }
    bool hasSmallFont() const { return smallFont_; }

protected:
    void paintButton(juce::Graphics& g, bool isMouseOver, bool isButtonDown) override;

private:
    bool smallFont_ = false;
};

} // namespace corvex
