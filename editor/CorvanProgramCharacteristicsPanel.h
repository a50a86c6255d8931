// The block that names a program and gives it a type and up to three characteristics, filled from a layer's
// current program when it is made. The program save row and the program save-as dialog embed it.
#pragma once

#include <array>

#include <juce_gui_basics/juce_gui_basics.h>

#include "presets/PatchSavePrompt.h"
#include "widgets/CvnLcdTextEditor.h"

namespace corvex {

class MorvanePreset;
class MorvanePresetFilterManager;

class CorvanProgramCharacteristicsPanel : public juce::Component {
public:
    static constexpr int kBoxes = 3;

    // The filter manager must outlive the block.
    explicit CorvanProgramCharacteristicsPanel(MorvanePresetFilterManager& programs);
    ~CorvanProgramCharacteristicsPanel() override;

    void resized() override;

    juce::String getEnteredName() const { return nameField_.getText(); }
    // The characteristics the program holds once the block is applied, in their order.
    juce::StringArray getResultingCharacteristics() const;
    // The block's values as the answer "save a copy".
    ProgramSaveChoice toSaveAsChoice() const;

    // Writes the name, type and characteristics into the preset in memory; nothing is saved. A factory preset is
    // first copied into the User bank and the copy, made the layer's current program, is edited instead; a
    // blank name keeps the preset's own. Returns the preset edited, null for none.
    MorvanePreset* applyToPreset(MorvanePreset* preset);

private:
    juce::StringArray boxTexts() const;

    MorvanePresetFilterManager& programs_;
    juce::Label nameCaption_{"NameTitle", "Name :"};
    CvnLcdTextEditor nameField_;
    juce::Label typeCaption_{"TypeTitle", "Type :"};
    juce::ComboBox typeBox_{"Type"};
    juce::Label characteristicsCaption_{"CharacteristicTitle", "Characteristics :"};
    std::array<juce::ComboBox, kBoxes> boxes_;
    // What the program held when the block was filled: the values the edit starts from.
    juce::StringArray previous_;
};

} // namespace corvex
