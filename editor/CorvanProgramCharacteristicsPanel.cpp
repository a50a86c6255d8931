#include "editor/CorvanProgramCharacteristicsPanel.h"

#include "editor/ProgramCharacteristics.h"
#include "editor/SaveDialogRules.h"
#include "presets/MorvanePresetFilterManager.h"
#include "presets/MorvanePresetManager.h"
#include "widgets/CorvanLookAndFeel.h"

namespace corvex {

namespace {
constexpr const char* kTypeKey = "Type";

// The block's rectangles for a width W; the characteristic boxes share it in two columns.
struct BlockLayout {
    juce::Rectangle<int> nameCaption, nameField, typeCaption, typeBox, characteristicsCaption;
    std::array<juce::Rectangle<int>, CorvanProgramCharacteristicsPanel::kBoxes> boxes;
};
constexpr int kRowHeight = 20;
BlockLayout blockLayout(int w) {
    const int c = (w - 15) / 2;
    return {{5, 5, 60, kRowHeight},
            {70, 5, w - 75, kRowHeight},
            {5, 30, 60, kRowHeight},
            {70, 30, w - 75, kRowHeight},
            {5, 60, w - 10, kRowHeight},
            {{{5, 80, c, kRowHeight}, {c + 10, 80, c, kRowHeight}, {5, 102, c, kRowHeight}}}};
}
} // namespace

CorvanProgramCharacteristicsPanel::CorvanProgramCharacteristicsPanel(MorvanePresetFilterManager& programs)
    : programs_(programs) {
    setLookAndFeel(CorvanLookAndFeel::getInstance());
    nameField_.setName("Name");
    addAndMakeVisible(nameCaption_);
    addAndMakeVisible(nameField_);
    addAndMakeVisible(typeCaption_);
    addAndMakeVisible(typeBox_);
    addAndMakeVisible(characteristicsCaption_);

    juce::StringArray types, values;
    if (MorvanePresetManager* manager = programs_.getPresetManager()) {
        manager->getAttributeValueList(kTypeKey, types);
        manager->getAttributeValueList(characteristics::kKey, values);
    }
    typeBox_.addItemList(types, 1);
    for (int i = 0; i < kBoxes; ++i) {
        juce::ComboBox& box = boxes_[static_cast<size_t>(i)];
        box.setName(juce::String(characteristics::kKey) + "_" + juce::String(i + 1));
        box.addItem(characteristics::kNone, 1);
        box.addItemList(values, 2);
        box.setSelectedId(1, juce::dontSendNotification);
        addAndMakeVisible(box);
    }

    if (MorvanePreset* program = programs_.getCurrentPreset()) {
        nameField_.setText(programs_.makeUniqueName(program->getName()), false);
        typeBox_.setText(program->getAttribute(kTypeKey), juce::dontSendNotification);
        program->getAttributeValues(characteristics::kKey, previous_);
        for (int i = 0; i < kBoxes && i < previous_.size(); ++i)
            boxes_[static_cast<size_t>(i)].setText(previous_[i], juce::dontSendNotification);
    }
}

CorvanProgramCharacteristicsPanel::~CorvanProgramCharacteristicsPanel() { setLookAndFeel(nullptr); }

void CorvanProgramCharacteristicsPanel::resized() {
    const BlockLayout layout = blockLayout(getWidth());
    nameCaption_.setBounds(layout.nameCaption);
    nameField_.setBounds(layout.nameField);
    typeCaption_.setBounds(layout.typeCaption);
    typeBox_.setBounds(layout.typeBox);
    characteristicsCaption_.setBounds(layout.characteristicsCaption);
    for (size_t i = 0; i < boxes_.size(); ++i)
        boxes_[i].setBounds(layout.boxes[i]);
}

juce::StringArray CorvanProgramCharacteristicsPanel::boxTexts() const {
    juce::StringArray texts;
    for (const juce::ComboBox& box : boxes_)
        texts.add(box.getText());
    return texts;
}

juce::StringArray CorvanProgramCharacteristicsPanel::getResultingCharacteristics() const {
    return characteristics::afterEdit(previous_,
                                      characteristics::editFrom(previous_, characteristics::chosen(boxTexts())));
}

ProgramSaveChoice CorvanProgramCharacteristicsPanel::toSaveAsChoice() const {
    return {ProgramSaveChoice::kSaveAs, getEnteredName(), typeBox_.getText(), getResultingCharacteristics()};
}

MorvanePreset* CorvanProgramCharacteristicsPanel::applyToPreset(MorvanePreset* preset) {
    if (preset == nullptr)
        return nullptr;
    if (!preset->isUserPreset()) {
        MorvanePresetManager* manager = programs_.getPresetManager();
        MorvanePreset* copy = manager != nullptr ? manager->duplicatePreset(preset) : nullptr;
        // A factory file is never edited: without a copy there is nothing to write into.
        if (copy == nullptr)
            return nullptr;
        programs_.setCurrentPreset(copy, false);
        preset = copy;
    }
    if (!savedialog::isBlankName(getEnteredName()))
        preset->setName(getEnteredName());
    preset->setAttribute(kTypeKey, typeBox_.getText(), true);
    characteristics::applyEdit(*preset, characteristics::editFrom(previous_, characteristics::chosen(boxTexts())));
    return preset;
}

} // namespace corvex
