#include "editor/modulation/CorvanKeyboardPanel.h"

namespace corvex {

CorvanKeyboardPanel::CorvanKeyboardPanel(MVGuiInterface*) {}

void CorvanKeyboardPanel::paint(juce::Graphics& g) {
    g.setColour(juce::Colours::grey);
    g.drawRect(getLocalBounds());
    g.drawText("CorvanKeyboardPanel", getLocalBounds(), juce::Justification::centred);
}

} // namespace corvex
