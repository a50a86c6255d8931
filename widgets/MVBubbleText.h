// The laid-out text of the parameter and text bubbles: one look for both.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace corvex {

class MVBubbleText {
public:
    static constexpr float kFontHeight = 12.0f;
    static constexpr float kMaxWidth = 256.0f;
    static constexpr int kExtraWidth = 26;
    static constexpr int kExtraHeight = 16;

    void setText(const juce::String& text);
    const juce::String& getText() const { return text_; }
    // The bubble's content: the text with its margins.
    void getContentSize(int& width, int& height) const;
    void draw(juce::Graphics& g, juce::Colour colour, int width, int height) const;

private:
    juce::String text_;
    juce::TextLayout layout_;
};

} // namespace corvex
