#include "editor/CorvanMultiPanel.h"

#include "editor/CorvanMultiDeletePanel.h"
#include "editor/ModalCalls.h"
#include "presets/CorvanMultiFilterManager.h"

namespace corvex {

CorvanMultiPanel::CorvanMultiPanel(MVGuiInterface* gui, ModalCalls& calls)
    : CorvanTemplatePanel(gui), calls_(calls), prompt_(calls) {
    newButton_.setName("New Patch");
    saveButton_.setName("Save Patch");
    saveAsButton_.setName("Save Patch As ...");
    deleteButton_.setName("Delete Patch");
}

CorvanMultiPanel::~CorvanMultiPanel() {
    if (patches_ != nullptr) patches_->setPrompt(nullptr);
}

void CorvanMultiPanel::initialise(CorvanMultiFilterManager* patches) {
    patches_ = patches;
    patches->setPrompt(&prompt_);
    bindFilterManager(patches);
}

void CorvanMultiPanel::newPreset() {
    if (patches_ == nullptr) return;
    giveColumnValues(patches_->createNewPreset(1));
}

void CorvanMultiPanel::save() {
    if (patches_ != nullptr) patches_->savePatch();
}

void CorvanMultiPanel::saveAs() {
    if (patches_ != nullptr) patches_->savePatchAs();
}

void CorvanMultiPanel::deleteSelected() {
    MorvanePreset* patch = patches_ != nullptr ? patches_->getCurrentPreset() : nullptr;
    if (patch == nullptr || !patch->isUserPreset()) return;
    const juce::String project = patch->getAttribute(CorvanMultiFilterManager::kProjectKey);
    CorvanMultiDeletePanel panel(patches_, patch->getName(), project);
    calls_.runDialog(panel, CorvanMultiDeletePanel::kTitle, CorvanMultiDeletePanel::kWidth,
                     CorvanMultiDeletePanel::kHeight);
    if (!panel.isConfirmed()) return;
    const int row = patches_->indexOfPreset(patch);
    if (panel.isProjectChosen()) {
        patches_->deleteProject(project);
    } else if (!patches_->getPresetManager()->deletePreset(patch)) {
        return;
    }
    selectAnotherPreset(row);
}

} // namespace corvex
