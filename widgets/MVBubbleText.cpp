// The laid-out text of the parameter and text bubbles.
#include "widgets/MVBubbleText.h"

#include <cmath>

namespace corvex {

void MVBubbleText::setText(const juce::String& text) {
    text_ = text;
    juce::AttributedString attributed;
    attributed.setJustification(juce::Justification::centredLeft);
    attributed.append(text, juce::Font(kFontHeight));
    layout_.createLayout(attributed, kMaxWidth);
}

void MVBubbleText::getContentSize(int& width, int& height) const {
    width = static_cast<int>(std::ceil(layout_.getWidth())) + kExtraWidth;
    height = static_cast<int>(std::ceil(layout_.getHeight())) + kExtraHeight;
}

void MVBubbleText::draw(juce::Graphics& g, juce::Colour colour, int width, int height) const {
    g.setColour(colour);
    const float w = layout_.getWidth();
    const float h = layout_.getHeight();
    // The layout keeps the colour it was made with; drawing a copy in the bubble's colour keeps the text
    // readable whatever look-and-feel is in force.
    juce::TextLayout coloured = layout_;
    for (int l = 0; l < coloured.getNumLines(); ++l)
        for (juce::TextLayout::Run* run : coloured.getLine(l).runs) run->colour = colour;
    coloured.draw(g, {(static_cast<float>(width) - w) * 0.5f, (static_cast<float>(height) - h) * 0.5f, w, h});
}

} // namespace corvex
