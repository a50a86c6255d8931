// The momentary button of the LFO trigger: on exactly while it is held, sending 1 when pressed and 0 when let
// go, without gesture messages.
#pragma once

#include "instrument/params/ParameterIndex.h"
#include "widgets/MVParameterButton.h"

namespace corvex {

class MVPushButton : public MVParameterButton {
public:
    static constexpr int kWidth = 36;
    static constexpr int kHeight = 18;

    explicit MVPushButton(MVGuiInterface* gui, int index = ParameterIndex::kLfoTrigger);

    bool isHeldDown() const { return down_; }

    void buttonClicked(juce::Button*) override {}
    using juce::DrawableButton::buttonStateChanged;
    void buttonStateChanged(juce::Button* button) override;
    void parameterChanged(int index, float value) override;

private:
    bool down_ = false;
};

} // namespace corvex
