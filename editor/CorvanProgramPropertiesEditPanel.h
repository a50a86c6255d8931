// "Program Save As...": the characteristics block with "Cancel" and "OK". OK only confirms (a blank name is
// refused first); the opener copies the program and applies the block to the copy.
#pragma once

#include "editor/CorvanProgramCharacteristicsPanel.h"
#include "widgets/CvnLcdTextButton.h"
#include "widgets/MVModalDialog.h"

namespace corvex {

class ModalCalls;

class CorvanProgramPropertiesEditPanel : public MVModalDialogPanel {
public:
    static constexpr int kWidth = 200;
    static constexpr int kHeight = 220;

    // The filter manager must outlive the panel; calls shows the refusal of a blank name.
    CorvanProgramPropertiesEditPanel(ModalCalls& calls, MorvanePresetFilterManager& programs);
    ~CorvanProgramPropertiesEditPanel() override;

    bool isConfirmed() const { return confirmed_; }
    CorvanProgramCharacteristicsPanel& getCharacteristicsPanel() { return characteristics_; }

    void buttonClicked(juce::Button* button) override;
    void paint(juce::Graphics& g) override;
    void resized() override;

private:
    ModalCalls& calls_;
    CorvanProgramCharacteristicsPanel characteristics_;
    bool confirmed_ = false;
    CvnLcdTextButton cancel_{"Cancel"};
    CvnLcdTextButton ok_{"OK"};
};

} // namespace corvex
