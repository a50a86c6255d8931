#include "editor/CorvanMultiSaveFactProgramPanel.h"

#include "editor/SaveDialogRules.h"

namespace corvex {

CorvanMultiSaveFactProgramPanel::CorvanMultiSaveFactProgramPanel(ModalCalls& calls,
                                                                 MorvanePresetFilterManager& programs,
                                                                 const juce::String& rowTitle,
                                                                 bool usedByOtherPatches)
    : CorvanProgramSaveDialogPanel(calls, savedialog::kFactoryMessage, programs, rowTitle, usedByOtherPatches, true) {}

} // namespace corvex
