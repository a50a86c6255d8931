// Asked while a patch is saved when one of its programs is a modified factory program, which can only be
// copied into the User bank or left unsaved.
#pragma once

#include "editor/CorvanProgramSaveDialogPanel.h"

namespace corvex {

class CorvanMultiSaveFactProgramPanel : public CorvanProgramSaveDialogPanel {
public:
    CorvanMultiSaveFactProgramPanel(ModalCalls& calls, MorvanePresetFilterManager& programs,
                                    const juce::String& rowTitle, bool usedByOtherPatches);
};

} // namespace corvex
