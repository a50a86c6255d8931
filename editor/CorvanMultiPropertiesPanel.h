// The current patch's name and project on the LCD's preset page: labels, or editors while the page has made
// this panel the active one and the patch is a user patch. A factory patch shows a padlock.
#pragma once

#include "editor/PresetPropertiesPanel.h"

namespace corvex {

class CorvanMultiFilterManager;

class CorvanMultiPropertiesPanel : public PresetPropertiesPanel, public juce::ComboBox::Listener {
public:
    // Shows nothing until the filter manager's first message; calls tells of a refused edit. The look is the
    // one of the editor that holds the panel.
    CorvanMultiPropertiesPanel(CorvanMultiFilterManager* patches, ModalCalls& calls);

    void refresh(MorvanePreset* patch) override;
    void presetFilterChanged(int id, int value, int value2, void* pointer) override;
    void comboBoxChanged(juce::ComboBox* box) override;
    void resized() override;

private:
    void showEditors(bool editing) override;
    void fillProjects();

    juce::Label projectTitle{"Project_Title", "Project:"};
    juce::Label projectLabel{"Project"};
    juce::ComboBox projectBox{"Project"};
};

} // namespace corvex
