// A free text in a bubble next to a component.
#include "widgets/MVBubbleStringComponent.h"

namespace corvex {

MVBubbleStringComponent::MVBubbleStringComponent() {
    setAllowedPlacement(left | right);
    text_.setText({});
}

void MVBubbleStringComponent::setText(const juce::String& text) {
    int oldWidth = 0, oldHeight = 0, width = 0, height = 0;
    text_.getContentSize(oldWidth, oldHeight);
    text_.setText(text);
    text_.getContentSize(width, height);
    // The bubble's frame was cut for the old text: a value that arrives later would be clipped.
    if ((width != oldWidth || height != oldHeight) && target_ != nullptr && getParentComponent() != nullptr)
        setPosition(target_.getComponent());
    if (isVisible()) repaint();
}

void MVBubbleStringComponent::pointAt(juce::Component* target) {
    target_ = target;
    if (target != nullptr) setPosition(target);
}

void MVBubbleStringComponent::paintContent(juce::Graphics& g, int width, int height) {
    text_.draw(g, findColour(juce::TooltipWindow::textColourId), width, height);
}

} // namespace corvex
