// The frame of one insert chain of the edited layer: the list of insert effect types and the editor of the
// chosen one.
#pragma once

#include "editor/effects/EffectFrame.h"

namespace corvex {

// Message thread only.
class CorvanEffectsPanel : public EffectFrame {
public:
    // typeNames: the rows of the list, in type order; chain 0 or 1.
    CorvanEffectsPanel(MVGuiInterface* gui, const juce::StringArray& typeNames, int chain);
    ~CorvanEffectsPanel() override;
};

} // namespace corvex
