#include "editor/sequencer/CorvanSequencerPanel.h"

#include "instrument/params/ParameterIndex.h"
#include "widgets/CorvanLookAndFeel.h"

namespace corvex {

namespace P = ParameterIndex;

CorvanSequencerPanel::CorvanSequencerPanel(MVGuiInterface* gui)
    : first_(gui),
      third_(gui),
      outputs_(gui, "Outputs", P::kSequencerFirstDestination, P::kSequencerFirstAmount,
               P::kSequencerFirstQuantiseSwitch, P::kSequencerRetrigger) {
    setLookAndFeel(CorvanLookAndFeel::getInstance());
    addAndMakeVisible(first_);
    addAndMakeVisible(third_);
    addAndMakeVisible(outputs_);
}

CorvanSequencerPanel::~CorvanSequencerPanel() { setLookAndFeel(nullptr); }

void CorvanSequencerPanel::setVisible(bool shouldBeVisible) {
    third_.setVisible(shouldBeVisible);
    MVPanel::setVisible(shouldBeVisible);
}

void CorvanSequencerPanel::resized() {
    const int w = getWidth();
    const int h = getHeight();
    const int m = kMargin;
    const int firstWidth = static_cast<int>(0.25 * (w - 48));
    const int thirdWidth = static_cast<int>(0.6 * (w - 48));
    first_.setBounds(m, m, firstWidth, h - 2 * m);
    third_.setBounds(firstWidth + 24, m, thirdWidth, h - 2 * m);
    // The outputs start where the graph's frame ends, which the middle panel knows only once laid out.
    const int graphRight = third_.getGraphRight();
    outputs_.setBounds(firstWidth + 24 + graphRight + 15, m, w - 48 - graphRight - firstWidth, h - 2 * m);
}

void CorvanSequencerPanel::paint(juce::Graphics& g) {
    CorvanLookAndFeel& look = *CorvanLookAndFeel::getInstance();
    g.setColour(look.greyColour);
    const int inset = kMargin / 3;
    look.drawGroupOutline(g, "Sequencer", inset, inset, getWidth() - 2 * inset, getHeight() - 2 * inset, 1.0f, 11);
}

} // namespace corvex
