// "Delete Patch or Project": whether to delete only the current patch or the whole project it belongs to,
// with a warning before a project goes. The panel deletes nothing; its opener acts on the answer.
#pragma once

#include "widgets/CvnLcdTextButton.h"
#include "widgets/MVModalDialog.h"

namespace corvex {

class MorvanePresetFilterManager;

class CorvanMultiDeletePanel : public MVModalDialogPanel {
public:
    static constexpr int kWidth = 220;
    static constexpr int kHeight = 240;
    static constexpr const char* kTitle = "Delete Patch or Project";

    CorvanMultiDeletePanel(MorvanePresetFilterManager* patches, const juce::String& patchName,
                           const juce::String& projectName);
    ~CorvanMultiDeletePanel() override;

    static juce::String patchChoiceText(const juce::String& patchName);
    static juce::String projectChoiceText(const juce::String& projectName);
    static juce::String warningText(const juce::String& projectName);

    virtual bool isConfirmed() const { return confirmed_; }
    virtual bool isProjectChosen() const { return projectOption_.getToggleState(); }
    bool isWarningShown() const { return warning_.isVisible(); }

    void buttonClicked(juce::Button* button) override;
    void paint(juce::Graphics& g) override;
    void resized() override;

private:
    MorvanePresetFilterManager* patches_;
    juce::Label title_{"Delete Choice", "Delete Choice:"};
    juce::ToggleButton patchOption_;
    juce::ToggleButton projectOption_;
    juce::Label warning_{"Be Careful"};
    CvnLcdTextButton cancel_{"Cancel"};
    CvnLcdTextButton ok_{"OK"};
    bool confirmed_ = false;
};

} // namespace corvex
