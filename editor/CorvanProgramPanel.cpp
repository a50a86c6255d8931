#include "editor/CorvanProgramPanel.h"

#include "editor/CorvanProgramPropertiesEditPanel.h"
#include "editor/ModalCalls.h"
#include "presets/CorvanMultiFilterManager.h"

namespace corvex {

CorvanProgramPanel::CorvanProgramPanel(MVGuiInterface* gui, ModalCalls& calls)
    : CorvanTemplatePanel(gui), calls_(calls) {
    newButton_.setName("New Program");
    saveButton_.setName("Save Program");
    saveAsButton_.setName("Save Program As ...");
    deleteButton_.setName("Delete Program");
}

juce::String CorvanProgramPanel::deleteQuestion(const juce::StringArray& otherPatches) {
    if (otherPatches.isEmpty()) return "Are you sure that you want to delete this Program?";
    return "Be very Careful! This program is also used by the following patches:\n" + otherPatches.joinIntoString(", ");
}

void CorvanProgramPanel::initialise(MorvanePresetFilterManager* programs, CorvanMultiFilterManager* patches) {
    patches_ = patches;
    bindFilterManager(programs);
}

void CorvanProgramPanel::newPreset() {
    if (filters_ != nullptr) giveColumnValues(filters_->createNewPreset(1));
}

void CorvanProgramPanel::save() {
    if (filters_ == nullptr) return;
    MorvanePreset* program = filters_->getCurrentPreset();
    if (program != nullptr && program->isUserPreset()) filters_->savePreset(program);
}

void CorvanProgramPanel::saveAs() {
    MorvanePreset* program = filters_ != nullptr ? filters_->getCurrentPreset() : nullptr;
    if (program == nullptr) return;
    CorvanProgramPropertiesEditPanel panel(calls_, *filters_);
    calls_.runDialog(panel, kSaveAsTitle, CorvanProgramPropertiesEditPanel::kWidth,
                     CorvanProgramPropertiesEditPanel::kHeight);
    if (!panel.isConfirmed()) return;
    // The program itself, a factory one above all, is never written over: the copy takes the edits.
    MorvanePreset* copy = filters_->getPresetManager()->duplicatePreset(program);
    if (copy == nullptr) return;
    panel.getCharacteristicsPanel().applyToPreset(copy);
    filters_->savePreset(copy);
    filters_->setCurrentPreset(copy, false);
}

void CorvanProgramPanel::deleteSelected() {
    MorvanePreset* program = filters_ != nullptr ? filters_->getCurrentPreset() : nullptr;
    if (program == nullptr || !program->isUserPreset()) return;
    juce::StringArray others;
    if (patches_ != nullptr)
        if (auto* patchManager = dynamic_cast<CorvanMultiManager*>(patches_->getPresetManager()))
            others = patchManager->getPatchesUsingProgram(program, patches_->getCurrentPreset());
    if (calls_.askOkCancel(kDeleteTitle, deleteQuestion(others))) {
        const int row = filters_->indexOfPreset(program);
        if (filters_->getPresetManager()->deletePreset(program)) selectAnotherPreset(row);
    }
    refreshResults();
}

} // namespace corvex
