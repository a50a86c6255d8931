#include "editor/CorvanMultiSaveCommonProgramPanel.h"

#include "editor/SaveDialogRules.h"

namespace corvex {

// The message already warns, so the row itself does not.
CorvanMultiSaveCommonProgramPanel::CorvanMultiSaveCommonProgramPanel(ModalCalls& calls,
                                                                     MorvanePresetFilterManager& programs,
                                                                     const juce::String& rowTitle,
                                                                     const juce::StringArray& otherPatches)
    : CorvanProgramSaveDialogPanel(calls, savedialog::sharedMessage(otherPatches), programs, rowTitle, true, false) {}

} // namespace corvex
