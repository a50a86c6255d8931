// One program of a patch being saved: a framed row offering "Do Not Save", "Save" or "Save As", with the new
// program's name, type and characteristics while "Save As" is chosen. It gathers the answer; the preset library
// carries it out.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include "editor/CorvanProgramCharacteristicsPanel.h"
#include "presets/PatchSavePrompt.h"

namespace corvex {

class MorvanePresetFilterManager;

class CorvanSaveProgramPanel : public juce::Component, public juce::Button::Listener {
public:
    // The filter manager must outlive the row. preferSaveAs: the program is shared, so copying is proposed;
    // warnOnSave: overwriting it then shows a warning.
    CorvanSaveProgramPanel(MorvanePresetFilterManager& programs, const juce::String& title, bool preferSaveAs,
                           bool warnOnSave);
    ~CorvanSaveProgramPanel() override;

    // "Save" only for a user program; then the default answer, shown as if clicked.
    void updateChoice();
    ProgramSaveChoice::Kind getSelectedKind() const;
    ProgramSaveChoice getChoice() const;
    // Why the answer cannot be taken as it stands (a blank name for the copy); empty when it can.
    juce::String refusal() const;
    const juce::String& getTitle() const { return title_; }

    void buttonClicked(juce::Button* button) override;
    void paint(juce::Graphics& g) override;
    void resized() override;

private:
    MorvanePresetFilterManager& programs_;
    juce::ToggleButton doNotSave_{"Do Not Save"};
    juce::ToggleButton save_{"Save"};
    juce::ToggleButton saveAs_{"Save As"};
    juce::TextEditor warning_{"Warning"};
    CorvanProgramCharacteristicsPanel characteristics_;
    bool preferSaveAs_;
    juce::String title_;
    bool warnOnSave_;
};

} // namespace corvex
