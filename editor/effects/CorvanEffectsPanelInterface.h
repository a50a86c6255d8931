// What an effect list tells the frame that holds it.
#pragma once

#include <juce_core/juce_core.h>

namespace corvex {

class CorvanEffectsPanelInterface {
public:
    virtual ~CorvanEffectsPanelInterface() = default;

    // The list's selected row changed to the row with this text (empty when no row is selected).
    virtual void effectSelected(const juce::String& name) = 0;
};

} // namespace corvex
