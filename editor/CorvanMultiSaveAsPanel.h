// "Save Patch As...": a new name (proposed unique) and project for a copy of the current patch, and a save row
// for each of its programs. It gathers the answer; the patch filter manager carries it out.
#pragma once

#include <optional>

#include "editor/CorvanSaveProgramPanel.h"
#include "widgets/CvnLcdTextButton.h"
#include "widgets/CvnLcdTextEditor.h"
#include "widgets/MVModalDialog.h"

namespace corvex {

class CorvanMultiFilterManager;
class ModalCalls;

class CorvanMultiSaveAsPanel : public MVModalDialogPanel {
public:
    static constexpr int kWidth = 360;
    static constexpr int kHeight = 300;

    // The filter manager and its program filter managers must outlive the panel; calls shows the refusal of a
    // blank name.
    CorvanMultiSaveAsPanel(ModalCalls& calls, CorvanMultiFilterManager& patches);
    ~CorvanMultiSaveAsPanel() override;

    // nullopt unless the dialog ended with OK. Both rows answer in every mode: the Lower row, hidden while the
    // patch plays Whole, with its default.
    const std::optional<PatchSaveAsChoice>& getAnswer() const { return answer_; }
    CorvanSaveProgramPanel& getLowerRow() { return lowerRow_; }
    CorvanSaveProgramPanel& getUpperRow() { return upperRow_; }

    void buttonClicked(juce::Button* button) override;
    void paint(juce::Graphics& g) override;
    void resized() override;

private:
    juce::String refusal() const;

    ModalCalls& calls_;
    CorvanMultiFilterManager& patches_;
    juce::Label title_{"Patch Title"};
    juce::Label nameCaption_{"Patch Name Title", "Name :"};
    CvnLcdTextEditor name_;
    juce::Label projectCaption_{"Patch Project Title", "Project :"};
    juce::ComboBox project_{"Project"};
    CorvanSaveProgramPanel lowerRow_;
    CorvanSaveProgramPanel upperRow_;
    CvnLcdTextButton cancel_{"Cancel"};
    CvnLcdTextButton ok_{"OK"};
    std::optional<PatchSaveAsChoice> answer_;
};

} // namespace corvex
