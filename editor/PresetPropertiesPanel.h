// What the patch's and the programs' properties panels share: the preset's name as a label or an editor, the
// padlock of a factory preset, and the rule that editors show only on the active panel for a user preset.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include "presets/MorvanePresetFilterManager.h"
#include "widgets/CvnLcdTextEditor.h"

namespace corvex {

class ModalCalls;
class MorvanePreset;

class PresetPropertiesPanel : public juce::Component,
                              public juce::TextEditor::Listener,
                              public MorvanePresetFilterManagerListener {
public:
    ~PresetPropertiesPanel() override;

    // Null clears every field.
    virtual void refresh(MorvanePreset* preset) = 0;
    void setActive(bool active);
    bool isShowingEditors() const { return nameEditor.isVisible(); }

    // Changed (2) and current preset set (4) show the current preset again; saved (8) drops the "*".
    void presetFilterChanged(int id, int value, int value2, void* pointer) override;
    void textEditorReturnKeyPressed(juce::TextEditor& editor) override;
    void textEditorFocusLost(juce::TextEditor& editor) override;
    void paint(juce::Graphics& g) override;

protected:
    static constexpr float kLabelFontHeight = 12.0f;
    static constexpr int kRowHeight = 14;
    static constexpr int kPadlockHeight = 15;

    // Listens to filters from now on; what kind ("patch", "program") names in a refusal.
    PresetPropertiesPanel(MorvanePresetFilterManager* filters, ModalCalls& calls, const juce::String& kind);

    MorvanePreset* currentPreset() const;
    // The current preset while it may be edited: a user preset.
    MorvanePreset* editablePreset() const;
    // The name fields and the padlock for preset (null clears them).
    void showName(MorvanePreset* preset);
    // Labels or editors, by the active flag and the current preset's bank.
    void applyEditMode();
    virtual void showEditors(bool editing) = 0;
    void placeName(juce::Rectangle<int> title, juce::Rectangle<int> name, juce::Point<int> padlockAt);
    void addLabel(juce::Label& label);

    MorvanePresetFilterManager* filters_;
    ModalCalls& calls_;
    juce::Label nameTitle{"Name_Title", "Name:"};
    juce::Label nameLabel{"Name"};
    CvnLcdTextEditor nameEditor;

private:
    void applyName();

    juce::String kind_;
    juce::Rectangle<int> padlock_;
    bool active_ = false;
    bool factory_ = false;
};

} // namespace corvex
