#include "editor/PresetPropertiesPanel.h"

#include "editor/ModalCalls.h"
#include "editor/PropertyEdits.h"
#include "widgets/CorvanLookAndFeel.h"

namespace corvex {

PresetPropertiesPanel::PresetPropertiesPanel(MorvanePresetFilterManager* filters, ModalCalls& calls,
                                             const juce::String& kind)
    : filters_(filters), calls_(calls), kind_(kind) {
    addLabel(nameTitle);
    addLabel(nameLabel);
    nameEditor.addListener(this);
    addChildComponent(nameEditor);
    if (filters_ != nullptr)
        filters_->addListener(this);
}

PresetPropertiesPanel::~PresetPropertiesPanel() {
    if (filters_ != nullptr)
        filters_->removeListener(this);
}

void PresetPropertiesPanel::addLabel(juce::Label& label) {
    label.setFont(juce::Font(kLabelFontHeight, juce::Font::plain));
    addAndMakeVisible(label);
}

MorvanePreset* PresetPropertiesPanel::currentPreset() const {
    return filters_ != nullptr ? filters_->getCurrentPreset() : nullptr;
}

MorvanePreset* PresetPropertiesPanel::editablePreset() const {
    MorvanePreset* preset = currentPreset();
    return preset != nullptr && preset->isUserPreset() ? preset : nullptr;
}

void PresetPropertiesPanel::setActive(bool active) {
    active_ = active;
    applyEditMode();
}

void PresetPropertiesPanel::applyEditMode() {
    const bool editing = active_ && editablePreset() != nullptr;
    nameLabel.setVisible(!editing);
    nameEditor.setVisible(editing);
    showEditors(editing);
}

void PresetPropertiesPanel::showName(MorvanePreset* preset) {
    nameLabel.setText(preset != nullptr ? propertyedits::displayName(*preset) : juce::String(),
                      juce::dontSendNotification);
    nameEditor.setText(preset != nullptr ? preset->getName() : juce::String(), false);
    const bool factory = preset != nullptr && preset->getAttribute(MorvanePreset::kBankKey) == "Factory";
    // No child covers the padlock: a new current preset of the other bank must not leave the old one drawn.
    if (factory != factory_)
        repaint(padlock_);
    factory_ = factory;
}

void PresetPropertiesPanel::presetFilterChanged(int id, int, int, void*) {
    switch (id) {
    case MorvanePresetManager::kChanged:
        refresh(currentPreset());
        repaint();
        break;
    case MorvanePresetFilterManager::kCurrentPresetChanged:
        refresh(currentPreset());
        break;
    case MorvanePresetManager::kSaved:
        if (MorvanePreset* preset = currentPreset())
            nameLabel.setText(propertyedits::displayName(*preset), juce::dontSendNotification);
        break;
    default:
        break;
    }
}

void PresetPropertiesPanel::textEditorReturnKeyPressed(juce::TextEditor&) { applyName(); }

void PresetPropertiesPanel::textEditorFocusLost(juce::TextEditor&) { applyName(); }

void PresetPropertiesPanel::applyName() {
    MorvanePreset* preset = editablePreset();
    if (preset == nullptr)
        return;
    if (!propertyedits::rename(*preset, nameEditor.getText())) {
        // Put back before the alert takes the focus, so that losing it again changes nothing.
        nameEditor.setText(preset->getName(), false);
        calls_.showWarning("Name Not Changed",
                           "A " + kind_ + " needs a name: it keeps its name \"" + preset->getName() + "\".");
        return;
    }
    nameLabel.setText(propertyedits::displayName(*preset), juce::dontSendNotification);
}

void PresetPropertiesPanel::paint(juce::Graphics& g) {
    // No background: the LCD page behind shows through.
    if (!factory_)
        return;
    CorvanLookAndFeel& look = *CorvanLookAndFeel::getInstance();
    g.setColour(look.greyColour);
    look.drawPadlock(g, padlock_.getX(), padlock_.getY(), padlock_.getWidth(), padlock_.getHeight());
}

void PresetPropertiesPanel::placeName(juce::Rectangle<int> title, juce::Rectangle<int> name,
                                      juce::Point<int> padlockAt) {
    nameTitle.setBounds(title);
    nameLabel.setBounds(name);
    nameEditor.setBounds(name);
    padlock_ = {padlockAt.x, padlockAt.y, 2 * (kPadlockHeight / 3), kPadlockHeight};
}

} // namespace corvex
