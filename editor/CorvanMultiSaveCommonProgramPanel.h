// Asked while a patch is saved when one of its modified user programs is used by other patches too: it names
// them and proposes a copy rather than overwriting what they play.
#pragma once

#include "editor/CorvanProgramSaveDialogPanel.h"

namespace corvex {

class CorvanMultiSaveCommonProgramPanel : public CorvanProgramSaveDialogPanel {
public:
    CorvanMultiSaveCommonProgramPanel(ModalCalls& calls, MorvanePresetFilterManager& programs,
                                      const juce::String& rowTitle, const juce::StringArray& otherPatches);
};

} // namespace corvex
