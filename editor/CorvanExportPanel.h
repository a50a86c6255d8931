// The "Export Project" dialog: which project to write to a file. It only gathers the choice; the export flow
// (ProjectTransfer) reads it after the dialog ends.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include "widgets/CvnLcdTextButton.h"
#include "widgets/MVModalDialog.h"

namespace corvex {

class CorvanMultiFilterManager;

class CorvanExportPanel : public MVModalDialogPanel {
public:
    static constexpr int kWidth = 250;
    static constexpr int kHeight = 220;

    // The project box lists the "Project" values the patches carry, none chosen.
    explicit CorvanExportPanel(CorvanMultiFilterManager* patches);
    ~CorvanExportPanel() override;

    // The chosen project after "OK"; empty after "Cancel", the close button, or with nothing chosen.
    juce::String getSelectedProject() const;

    void buttonClicked(juce::Button* button) override;
    void paint(juce::Graphics& g) override;
    void resized() override;

private:
    juce::TextEditor text;
    juce::Label projectTitle{"Patch Project Title", "Project :"};
    juce::ComboBox projectBox{"Project"};
    CvnLcdTextButton cancelButton{"Cancel"};
    CvnLcdTextButton okButton{"OK"};
    bool confirmed = false;
};

} // namespace corvex
