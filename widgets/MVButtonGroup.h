// A radio group of buttons bound to one discrete parameter: button j of N sends the centre of step j, and the
// echo turns on the button of its step. The group is no component and owns none of its buttons; a null member
// keeps its place and counts as a step.
#pragma once

#include <initializer_list>
#include <vector>

#include <juce_gui_basics/juce_gui_basics.h>

#include "widgets/MVGuiInterface.h"
#include "widgets/MVParameterBinding.h"
#include "widgets/MVParameterListener.h"

namespace corvex {

// Message thread only.
class MVButtonGroup : public juce::Button::Listener, public MVParameterListener {
public:
    MVButtonGroup(MVGuiInterface* gui, int index);
    // The same, with its buttons added in order: a panel makes its group in one expression from buttons it
    // already holds.
    MVButtonGroup(MVGuiInterface* gui, int index, std::initializer_list<juce::Button*> buttons);
    ~MVButtonGroup() override;
    MVButtonGroup(const MVButtonGroup&) = delete;
    MVButtonGroup& operator=(const MVButtonGroup&) = delete;

    // Appends the button (or a null placeholder), puts it in the group and turns on the stored value's button.
    void addButton(juce::Button* button);
    // Button i on, every other off, without notifications.
    void selectIndex(int i);

    int getRadioGroupId() const { return radioGroupId_; }
    int getButtonCount() const { return static_cast<int>(buttons_.size()); }
    float getStoredValue() const { return value_; }

    void buttonClicked(juce::Button* button) override;
    void parameterChanged(int index, float value) override;
    void highlightChanged(int, float) override {}

private:
    MVGuiInterface* const gui_;
    const int index_;
    const int radioGroupId_;
    // Watched, not owned: a button deleted before the group is skipped rather than touched.
    std::vector<juce::Component::SafePointer<juce::Button>> buttons_;
    float value_;
    MVParameterBinding binding_;
};

} // namespace corvex
