#include "editor/effects/CorvanEffectsPanel.h"

namespace corvex {

CorvanEffectsPanel::CorvanEffectsPanel(MVGuiInterface*, const juce::StringArray&, int) {}

void CorvanEffectsPanel::setListBounds(int, int) {}

void CorvanEffectsPanel::paint(juce::Graphics& g) {
    g.setColour(juce::Colours::grey);
    g.drawRect(getLocalBounds());
    g.drawText("CorvanEffectsPanel", getLocalBounds(), juce::Justification::centred);
}

} // namespace corvex
