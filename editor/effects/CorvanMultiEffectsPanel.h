// The frame of one master-effect slot: the list of master effect types and the editor of the chosen one.
#pragma once

#include "editor/effects/EffectFrame.h"

namespace corvex {

// Message thread only.
class CorvanMultiEffectsPanel : public EffectFrame {
public:
    // typeNames: the rows of the list, in type order; effectNumber 0 or 1.
    CorvanMultiEffectsPanel(MVGuiInterface* gui, const juce::StringArray& typeNames, int effectNumber);
};

} // namespace corvex
