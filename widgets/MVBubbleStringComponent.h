// A free text in a bubble next to a component.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include "widgets/MVBubbleText.h"

namespace corvex {

class MVBubbleStringComponent : public juce::BubbleComponent {
public:
    MVBubbleStringComponent();

    void setText(const juce::String& text);
    const juce::String& getText() const { return text_.getText(); }

    // Places the bubble next to the component; a text that changes size later moves it again.
    void pointAt(juce::Component* target);

    void getContentSize(int& width, int& height) override { text_.getContentSize(width, height); }
    void paintContent(juce::Graphics& g, int width, int height) override;

private:
    MVBubbleText text_;
    juce::Component::SafePointer<juce::Component> target_;
};

} // namespace corvex
