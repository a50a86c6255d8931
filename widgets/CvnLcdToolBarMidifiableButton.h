// The common base of the tool bar's play and stop buttons, the two a MIDI message may trigger.
#pragma once

#include "widgets/CvnLcdToolBarButton.h"

namespace corvex {

class CvnLcdToolBarMidifiableButton : public CvnLcdToolBarButton {
public:
    CvnLcdToolBarMidifiableButton(const juce::String& name, MVGuiInterface* gui) : CvnLcdToolBarButton(name, gui) {}
};

} // namespace corvex
