// A latching picture button bound to one on/off parameter: each click toggles it and sends 1 or 0.
#pragma once

#include <cstddef>

#include "widgets/MVParameterButton.h"

namespace corvex {

class MVSwitchButton : public MVParameterButton {
public:
    // The four pictures: off, off while pressed, on, on while pressed. A negative index leaves the button
    // unbound: it toggles but sends nothing and hears nothing.
    MVSwitchButton(MVGuiInterface* gui, int index, const void* offData, size_t offSize, const void* offDownData,
                   size_t offDownSize, const void* onData, size_t onSize, const void* onDownData, size_t onDownSize);

    void buttonClicked(juce::Button* button) override;
    void parameterChanged(int index, float value) override;
};

} // namespace corvex
