// A bubble that hosts one child the user can click.
#include "widgets/MVBubbleComponent.h"

namespace corvex {

MVBubbleComponent::MVBubbleComponent(std::unique_ptr<juce::Component> child) : child_(std::move(child)) {
    // The library's bubble ignores the mouse altogether; this one lets its child have it.
    setInterceptsMouseClicks(false, true);
    if (child_ != nullptr) addAndMakeVisible(*child_);
}

MVBubbleComponent::~MVBubbleComponent() {
    if (child_ != nullptr) removeChildComponent(child_.get());
}

// The child with its inset, so that placing the child inside the content keeps its size.
void MVBubbleComponent::getContentSize(int& width, int& height) {
    width = child_ != nullptr ? child_->getWidth() + 2 * kChildInset : 0;
    height = child_ != nullptr ? child_->getHeight() + 2 * kChildInset : 0;
}

// The library keeps the content area the same distance from every edge, whichever side the arrow is on.
void MVBubbleComponent::resized() {
    if (child_ == nullptr) return;
    int width = 0, height = 0;
    getContentSize(width, height);
    const juce::Rectangle<int> content((getWidth() - width) / 2, (getHeight() - height) / 2, width, height);
    child_->setBounds(content.reduced(kChildInset));
}

} // namespace corvex
