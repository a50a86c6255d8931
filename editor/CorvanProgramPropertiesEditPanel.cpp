#include "editor/CorvanProgramPropertiesEditPanel.h"

#include "editor/ModalCalls.h"
#include "widgets/PanelLayout.h"
#include "editor/SaveDialogRules.h"
#include "widgets/CorvanLookAndFeel.h"

namespace corvex {

namespace {
constexpr LayoutRect kCharacteristics{5, 5, 180, 140};
constexpr LayoutRect kOk{-120, -25, 60, 20};
constexpr LayoutRect kCancel{-60, -25, 60, 20};
} // namespace

CorvanProgramPropertiesEditPanel::CorvanProgramPropertiesEditPanel(ModalCalls& calls,
                                                                   MorvanePresetFilterManager& programs)
    : calls_(calls), characteristics_(programs) {
    setLookAndFeel(CorvanLookAndFeel::getInstance());
    addAndMakeVisible(characteristics_);
    for (CvnLcdTextButton* button : {&cancel_, &ok_}) {
        button->addListener(this);
        addAndMakeVisible(*button);
    }
    setSize(kWidth, kHeight);
}

CorvanProgramPropertiesEditPanel::~CorvanProgramPropertiesEditPanel() { setLookAndFeel(nullptr); }

void CorvanProgramPropertiesEditPanel::buttonClicked(juce::Button* button) {
    if (button == &ok_) {
        if (savedialog::isBlankName(characteristics_.getEnteredName())) {
            calls_.showWarning(savedialog::kBlankNameTitle, savedialog::kBlankProgramName);
            return;
        }
        confirmed_ = true;
    }
    closeDialog();
}

void CorvanProgramPropertiesEditPanel::paint(juce::Graphics& g) {
    g.fillAll(CorvanLookAndFeel::getInstance()->darkColour);
}

void CorvanProgramPropertiesEditPanel::resized() {
    const int w = getWidth(), h = getHeight();
    characteristics_.setBounds(kCharacteristics.within(w, h));
    ok_.setBounds(kOk.within(w, h));
    cancel_.setBounds(kCancel.within(w, h));
}

} // namespace corvex
