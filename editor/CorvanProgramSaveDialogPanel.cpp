#include "editor/CorvanProgramSaveDialogPanel.h"

#include "editor/ModalCalls.h"
#include "widgets/PanelLayout.h"
#include "editor/SaveDialogRules.h"
#include "widgets/CorvanLookAndFeel.h"

namespace corvex {

namespace {
constexpr LayoutRect kMessage{5, 5, 190, 210};
constexpr LayoutRect kRow{210, 5, 180, 210};
constexpr LayoutRect kOk{-120, -25, 60, 20};
constexpr LayoutRect kCancel{-60, -25, 60, 20};
} // namespace

CorvanProgramSaveDialogPanel::CorvanProgramSaveDialogPanel(ModalCalls& calls, const juce::String& message,
                                                           MorvanePresetFilterManager& programs,
                                                           const juce::String& rowTitle, bool preferSaveAs,
                                                           bool warnOnSave)
    : calls_(calls), row_(programs, rowTitle, preferSaveAs, warnOnSave) {
    message_.setMultiLine(true, true);
    message_.setReadOnly(true);
    message_.setCaretVisible(false);
    message_.setText(message, false);
    addAndMakeVisible(message_);
    addAndMakeVisible(row_);
    for (CvnLcdTextButton* button : {&cancel_, &ok_}) {
        button->addListener(this);
        addAndMakeVisible(*button);
    }
    setSize(kWidth, kHeight);
}

void CorvanProgramSaveDialogPanel::buttonClicked(juce::Button* button) {
    if (button == &ok_) {
        if (const juce::String refusal = row_.refusal(); refusal.isNotEmpty()) {
            calls_.showWarning(savedialog::kBlankNameTitle, refusal);
            return;
        }
        answer_ = row_.getChoice();
    }
    closeDialog();
}

void CorvanProgramSaveDialogPanel::paint(juce::Graphics& g) { g.fillAll(CorvanLookAndFeel::getInstance()->darkColour); }

void CorvanProgramSaveDialogPanel::resized() {
    const int w = getWidth(), h = getHeight();
    message_.setBounds(kMessage.within(w, h));
    row_.setBounds(kRow.within(w, h));
    ok_.setBounds(kOk.within(w, h));
    cancel_.setBounds(kCancel.within(w, h));
}

} // namespace corvex
