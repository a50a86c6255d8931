#include "editor/CorvanProgramPropertiesPanel.h"

#include "editor/PropertyEdits.h"
#include "widgets/CorvanLookAndFeel.h"

namespace corvex {

namespace {

constexpr int kNoneId = 1;

} // namespace

CorvanProgramPropertiesPanel::CorvanProgramPropertiesPanel(MorvanePresetFilterManager* programs, ModalCalls& calls)
    : PresetPropertiesPanel(programs, calls, "program") {
    setLookAndFeel(CorvanLookAndFeel::getInstance());
    for (juce::Label* label : {&typeTitle, &typeLabel, &characteristicsTitle, &characteristicsLabel})
        addLabel(*label);

    juce::StringArray types;
    juce::StringArray characteristics;
    if (MorvanePresetManager* manager = programs != nullptr ? programs->getPresetManager() : nullptr) {
        manager->getAttributeValueList(propertyedits::kTypeKey, types);
        manager->getAttributeValueList(propertyedits::kCharacteristicsKey, characteristics);
    }
    typeBox.addItemList(types, 1);
    typeBox.addListener(this);
    addChildComponent(typeBox);
    for (size_t i = 0; i < characteristicBoxes.size(); ++i) {
        juce::ComboBox& box = characteristicBoxes[i];
        box.setName("Characteristics_" + juce::String(i + 1));
        box.addItem(propertyedits::kNone, kNoneId);
        box.addItemList(characteristics, kNoneId + 1);
        box.setSelectedId(kNoneId, juce::dontSendNotification);
        box.addListener(this);
        addChildComponent(box);
    }
}

CorvanProgramPropertiesPanel::~CorvanProgramPropertiesPanel() { setLookAndFeel(nullptr); }

void CorvanProgramPropertiesPanel::refresh(MorvanePreset* program) {
    showName(program);
    const juce::String type = program != nullptr ? program->getAttribute(propertyedits::kTypeKey) : "";
    typeBox.setText(type, juce::dontSendNotification);
    typeLabel.setText(type, juce::dontSendNotification);
    juce::StringArray values;
    if (program != nullptr)
        program->getAttributeValues(propertyedits::kCharacteristicsKey, values);
    characteristicsLabel.setText(values.joinIntoString(", "), juce::dontSendNotification);
    // Set without notice: a box told of its new value while the next box still shows the previous program's
    // would write that stale value into this program.
    for (int i = 0; i < kCharacteristicBoxes; ++i) {
        juce::ComboBox& box = characteristicBoxes[static_cast<size_t>(i)];
        if (i < values.size())
            box.setText(values[i], juce::dontSendNotification);
        else
            box.setSelectedId(kNoneId, juce::dontSendNotification);
    }
    if (program != nullptr)
        applyEditMode();
}

void CorvanProgramPropertiesPanel::showEditors(bool editing) {
    typeLabel.setVisible(!editing);
    characteristicsLabel.setVisible(!editing);
    typeBox.setVisible(editing);
    for (juce::ComboBox& box : characteristicBoxes)
        box.setVisible(editing);
}

void CorvanProgramPropertiesPanel::presetFilterChanged(int id, int value, int value2, void* pointer) {
    // A rename shows as any other change of the program does.
    PresetPropertiesPanel::presetFilterChanged(id == MorvanePresetManager::kRenamed ? MorvanePresetManager::kChanged : id,
                                               value, value2, pointer);
}

void CorvanProgramPropertiesPanel::comboBoxChanged(juce::ComboBox* box) {
    MorvanePreset* program = editablePreset();
    if (program == nullptr)
        return;
    if (box == &typeBox) {
        propertyedits::setType(*program, typeBox.getText());
        typeLabel.setText(typeBox.getText(), juce::dontSendNotification);
        return;
    }
    juce::StringArray chosen;
    for (const juce::ComboBox& characteristic : characteristicBoxes)
        chosen.add(characteristic.getText());
    propertyedits::setCharacteristics(*program, chosen);
    characteristicsLabel.setText(propertyedits::characteristicsText(*program), juce::dontSendNotification);
}

void CorvanProgramPropertiesPanel::resized() {
    // Four rows spread over the height; the characteristic boxes share the last row's width in three.
    const int r = (getHeight() - 56) / 4;
    const int c = (getWidth() - 10) / 3;
    const int lastRow = 3 * r + 42;
    placeName({5, r, 50, kRowHeight}, {55, r, 80, kRowHeight}, {135, r});
    typeTitle.setBounds(5, 2 * r + 14, 50, kRowHeight);
    typeLabel.setBounds(55, 2 * r + 14, 80, kRowHeight);
    typeBox.setBounds(typeLabel.getBounds());
    characteristicsTitle.setBounds(5, 3 * r + 28, 80, kRowHeight);
    characteristicsLabel.setBounds(5, lastRow, getWidth() - 10, kRowHeight);
    for (size_t i = 0; i < characteristicBoxes.size(); ++i)
        characteristicBoxes[i].setBounds(5 + static_cast<int>(i) * c, lastRow, c, kRowHeight);
}

} // namespace corvex
