#include "editor/effects/CorvanMultiEffectsPanel.h"

namespace corvex {

CorvanMultiEffectsPanel::CorvanMultiEffectsPanel(MVGuiInterface*, const juce::StringArray&, int) {}

void CorvanMultiEffectsPanel::setListBounds(int, int) {}

void CorvanMultiEffectsPanel::paint(juce::Graphics& g) {
    g.setColour(juce::Colours::grey);
    g.drawRect(getLocalBounds());
    g.drawText("CorvanMultiEffectsPanel", getLocalBounds(), juce::Justification::centred);
}

} // namespace corvex
