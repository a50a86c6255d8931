#include "editor/sequencer/CorvanSequencerPanel.h"

namespace corvex {

CorvanSequencerPanel::CorvanSequencerPanel(MVGuiInterface*) {}

void CorvanSequencerPanel::paint(juce::Graphics& g) {
    g.setColour(juce::Colours::grey);
    g.drawRect(getLocalBounds());
    g.drawText("CorvanSequencerPanel", getLocalBounds(), juce::Justification::centred);
}

} // namespace corvex
