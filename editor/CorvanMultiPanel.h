// The patch browsing page of the LCD's "Presets" tab: the patches through the patch filter manager, whose
// save questions it answers through the editor's dialogs.
#pragma once

#include "editor/CorvanTemplatePanel.h"
#include "editor/DialogPatchSavePrompt.h"

namespace corvex {

class CorvanMultiFilterManager;
class ModalCalls;

class CorvanMultiPanel : public CorvanTemplatePanel {
public:
    // calls opens the dialogs and must outlive the page.
    CorvanMultiPanel(MVGuiInterface* gui, ModalCalls& calls);
    ~CorvanMultiPanel() override;

    // The filter manager must outlive the page.
    void initialise(CorvanMultiFilterManager* patches);

    void newPreset() override;
    void save() override;
    void saveAs() override;
    // The current user patch, or its whole project, after the delete dialog.
    void deleteSelected() override;
    void currentPresetChanged() override { revealCurrentPreset(); }

private:
    ModalCalls& calls_;
    DialogPatchSavePrompt prompt_;
    CorvanMultiFilterManager* patches_ = nullptr;
};

} // namespace corvex
