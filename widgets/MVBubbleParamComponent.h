// The touched or hovered parameter's name and value, following its echoes or the kernel's value reports.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include "widgets/MVBubbleText.h"
#include "widgets/MVParameterListener.h"

namespace corvex {

class MVGuiInterface;

class MVBubbleParamComponent : public juce::BubbleComponent, public MVParameterListener {
public:
    explicit MVBubbleParamComponent(MVGuiInterface* gui);
    ~MVBubbleParamComponent() override;

    // Binds the bubble to the index (negative: unbound). A discrete index shows the interface's own texts
    // and follows the echoes; a continuous one waits for the kernel's report of its value.
    void setParameter(int index);
    int getParameterIndex() const { return index_; }
    bool showsInterfaceText() const { return interfaceText_; }
    void refreshText();
    // The kernel's report, for a continuous index.
    void showKernelValue(int unitKind, float value);
    const juce::String& getText() const { return text_.getText(); }

    // The value text of a kernel report; two spaces for an unknown unit or a value that is not a number.
    static juce::String formatKernelValue(int unitKind, float value);

    void parameterChanged(int index, float value) override;
    void highlightChanged(int, float) override {}

    // Places the bubble next to the component; a text that changes size later moves it again.
    void pointAt(juce::Component* target);

    void getContentSize(int& width, int& height) override { text_.getContentSize(width, height); }
    void paintContent(juce::Graphics& g, int width, int height) override;

private:
    void setText(const juce::String& text);

    MVGuiInterface* const gui_;
    int index_ = -1;
    bool interfaceText_ = false;
    MVBubbleText text_;
    juce::Component::SafePointer<juce::Component> target_;
};

} // namespace corvex
