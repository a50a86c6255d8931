// A bubble that hosts one child the user can click, drawn and placed like the library's bubbles.
#pragma once

#include <memory>

#include <juce_gui_basics/juce_gui_basics.h>

namespace corvex {

class MVBubbleComponent : public juce::BubbleComponent {
public:
    static constexpr int kChildInset = 3;

    // The bubble owns the child and makes it visible.
    explicit MVBubbleComponent(std::unique_ptr<juce::Component> child);
    ~MVBubbleComponent() override;

    juce::Component* getChild() const { return child_.get(); }

    // The child's size with its inset.
    void getContentSize(int& width, int& height) override;
    void paintContent(juce::Graphics&, int, int) override {}
    void resized() override;

private:
    std::unique_ptr<juce::Component> child_;
};

} // namespace corvex
