#include "editor/CorvanMultiPropertiesPanel.h"

#include "editor/ModalCalls.h"
#include "editor/PropertyEdits.h"
#include "presets/CorvanMultiFilterManager.h"

namespace corvex {

CorvanMultiPropertiesPanel::CorvanMultiPropertiesPanel(CorvanMultiFilterManager* patches, ModalCalls& calls)
    : PresetPropertiesPanel(patches, calls, "patch") {
    addLabel(projectTitle);
    addLabel(projectLabel);
    projectBox.setEditableText(true);
    fillProjects();
    projectBox.addListener(this);
    addChildComponent(projectBox);
}

void CorvanMultiPropertiesPanel::refresh(MorvanePreset* patch) {
    showName(patch);
    const juce::String project = patch != nullptr ? patch->getAttribute(CorvanMultiFilterManager::kProjectKey) : "";
    projectLabel.setText(project, juce::dontSendNotification);
    projectBox.setText(project, juce::dontSendNotification);
    if (patch != nullptr)
        applyEditMode();
}

void CorvanMultiPropertiesPanel::showEditors(bool editing) {
    projectLabel.setVisible(!editing);
    projectBox.setVisible(editing);
}

void CorvanMultiPropertiesPanel::presetFilterChanged(int id, int value, int value2, void* pointer) {
    // A deletion changes which projects exist, never the current patch's project.
    if (id == MorvanePresetManager::kDeleted || id == MorvanePresetManager::kSaved)
        fillProjects();
    PresetPropertiesPanel::presetFilterChanged(id, value, value2, pointer);
}

void CorvanMultiPropertiesPanel::comboBoxChanged(juce::ComboBox*) {
    MorvanePreset* patch = editablePreset();
    if (patch == nullptr)
        return;
    const juce::String typed = projectBox.getText();
    if (!propertyedits::setProject(*patch, typed)) {
        const juce::String kept = patch->getAttribute(CorvanMultiFilterManager::kProjectKey);
        projectBox.setText(kept, juce::dontSendNotification);
        calls_.showWarning("Project Not Changed",
                           "A project needs a name: the patch stays in the project \"" + kept + "\".");
        return;
    }
    projectLabel.setText(typed, juce::dontSendNotification);
    fillProjects();
}

void CorvanMultiPropertiesPanel::fillProjects() {
    const juce::String text = projectBox.getText();
    projectBox.clear(juce::dontSendNotification);
    juce::StringArray projects;
    if (filters_ != nullptr && filters_->getPresetManager() != nullptr)
        filters_->getPresetManager()->getAttributeValueList(CorvanMultiFilterManager::kProjectKey, projects);
    projectBox.addItemList(projects, 1);
    projectBox.setText(text, juce::dontSendNotification);
}

void CorvanMultiPropertiesPanel::resized() {
    // One row centred in the panel: the name on the left half, the project on the right.
    const int y = (getHeight() - kRowHeight) / 2;
    const int half = getWidth() / 2;
    placeName({5, y, 50, kRowHeight}, {55, y, 80, kRowHeight}, {135, y});
    projectTitle.setBounds(half, y, 50, kRowHeight);
    projectLabel.setBounds(half + 50, y, 80, kRowHeight);
    projectBox.setBounds(half + 50, y, 80, kRowHeight);
}

} // namespace corvex
