// The page of the insert effects of one chain: stands in until the page itself is written.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include "widgets/MVGuiInterface.h"
#include "widgets/MVPanel.h"

namespace corvex {

class CorvanEffectsPanel : public MVPanel {
public:
    CorvanEffectsPanel(MVGuiInterface* gui, const juce::StringArray& typeNames, int chain);

    // Where the effect choice list sits inside the page.
    virtual void setListBounds(int y, int height);

    void paint(juce::Graphics& g) override;
};

} // namespace corvex
