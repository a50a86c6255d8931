// The current program of one layer on the LCD's preset page: name, type and up to three characteristics, as
// labels, or as editors while the page has made this panel the active one and the program is a user program.
// A factory program shows a padlock.
#pragma once

#include <array>

#include "editor/PresetPropertiesPanel.h"

namespace corvex {

class CorvanProgramPropertiesPanel : public PresetPropertiesPanel, public juce::ComboBox::Listener {
public:
    static constexpr int kCharacteristicBoxes = 3;

    // programs: the layer's program filter manager. Shows nothing until its first message; calls tells of a
    // refused edit.
    CorvanProgramPropertiesPanel(MorvanePresetFilterManager* programs, ModalCalls& calls);
    ~CorvanProgramPropertiesPanel() override;

    void refresh(MorvanePreset* program) override;
    void presetFilterChanged(int id, int value, int value2, void* pointer) override;
    void comboBoxChanged(juce::ComboBox* box) override;
    void resized() override;

private:
    void showEditors(bool editing) override;

    juce::Label typeTitle{"Type_Title", "Type:"};
    juce::Label typeLabel{"Type"};
    juce::ComboBox typeBox{"Type"};
    juce::Label characteristicsTitle{"Characteristics_Title", "Characteristics:"};
    juce::Label characteristicsLabel{"Characteristics"};
    std::array<juce::ComboBox, kCharacteristicBoxes> characteristicBoxes;
};

} // namespace corvex
