#include "editor/sequencer/CorvanSequencerPanel.h"

#include "widgets/CorvanLookAndFeel.h"

namespace corvex {

CorvanSequencerPanel::CorvanSequencerPanel(MVGuiInterface* gui) : gui_(gui), first_(gui), third_(gui) {
    setLookAndFeel(CorvanLookAndFeel::getInstance());
    addAndMakeVisible(first_);
    addAndMakeVisible(third_);
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
}

void CorvanSequencerPanel::paint(juce::Graphics& g) {
    CorvanLookAndFeel& look = *CorvanLookAndFeel::getInstance();
    g.setColour(look.greyColour);
    const int inset = kMargin / 3;
    look.drawGroupOutline(g, "Sequencer", inset, inset, getWidth() - 2 * inset, getHeight() - 2 * inset, 1.0f, 11);
}

} // namespace corvex
