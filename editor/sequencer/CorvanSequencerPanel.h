// The sequencer page: stands in until the page itself is written.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include "widgets/MVGuiInterface.h"
#include "widgets/MVPanel.h"

namespace corvex {

class CorvanSequencerPanel : public MVPanel {
public:
    explicit CorvanSequencerPanel(MVGuiInterface* gui);

    void paint(juce::Graphics& g) override;
};

} // namespace corvex
