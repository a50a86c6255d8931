// What the factory-program and the shared-program dialogs have in common: a message beside one save row, and
// "Cancel" and "OK". OK takes the row's answer unless the copy's name is blank; Cancel and the close button
// leave no answer.
#pragma once

#include <optional>

#include "editor/CorvanSaveProgramPanel.h"
#include "widgets/CvnLcdTextButton.h"
#include "widgets/MVModalDialog.h"

namespace corvex {

class ModalCalls;

class CorvanProgramSaveDialogPanel : public MVModalDialogPanel {
public:
    static constexpr int kWidth = 400;
    static constexpr int kHeight = 240;

    // nullopt unless the dialog ended with OK.
    const std::optional<ProgramSaveChoice>& getAnswer() const { return answer_; }
    const juce::TextEditor& getMessage() const { return message_; }
    CorvanSaveProgramPanel& getRow() { return row_; }

    void buttonClicked(juce::Button* button) override;
    void paint(juce::Graphics& g) override;
    void resized() override;

protected:
    // calls shows the refusal of a blank name.
    CorvanProgramSaveDialogPanel(ModalCalls& calls, const juce::String& message, MorvanePresetFilterManager& programs,
                                 const juce::String& rowTitle, bool preferSaveAs, bool warnOnSave);

private:
    ModalCalls& calls_;
    juce::TextEditor message_{"Message"};
    CorvanSaveProgramPanel row_;
    CvnLcdTextButton cancel_{"Cancel"};
    CvnLcdTextButton ok_{"OK"};
    std::optional<ProgramSaveChoice> answer_;
};

} // namespace corvex
