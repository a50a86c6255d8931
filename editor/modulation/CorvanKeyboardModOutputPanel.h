// The modulation output panel of the keyboard sources: three routes with amounts, no switches, no "ReTrig".
#pragma once

#include "editor/modulation/CorvanModOutputPanel.h"

namespace corvex {

class CorvanKeyboardModOutputPanel : public CorvanModOutputPanel {
public:
    CorvanKeyboardModOutputPanel(MVGuiInterface* gui, const juce::String& title, int firstDestination,
                                 int firstAmount)
        : CorvanModOutputPanel(gui, title, firstDestination, firstAmount, -1, -1) {}
};

} // namespace corvex
