#include "editor/modulation/CorvanQuorbitPanel.h"

namespace corvex {

CorvanQuorbitPanel::CorvanQuorbitPanel(MVGuiInterface*) {}

void CorvanQuorbitPanel::paint(juce::Graphics& g) {
    g.setColour(juce::Colours::grey);
    g.drawRect(getLocalBounds());
    g.drawText("CorvanQuorbitPanel", getLocalBounds(), juce::Justification::centred);
}

} // namespace corvex
