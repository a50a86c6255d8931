// The patch filter manager's questions about saving, answered through the editor's save dialogs.
#pragma once

#include "presets/PatchSavePrompt.h"

namespace corvex {

class ModalCalls;

class DialogPatchSavePrompt : public PatchSavePrompt {
public:
    // The opener of each dialog; it must outlive the prompt.
    explicit DialogPatchSavePrompt(ModalCalls& calls) : calls_(calls) {}

    std::optional<ProgramSaveChoice> askFactoryProgram(const ProgramSaveQuestion& question) override;
    std::optional<ProgramSaveChoice> askSharedProgram(const ProgramSaveQuestion& question) override;
    std::optional<PatchSaveAsChoice> askSaveAs(CorvanMultiFilterManager& patches) override;

private:
    ModalCalls& calls_;
};

} // namespace corvex
