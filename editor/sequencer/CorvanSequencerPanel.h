// The "Sequencer" page of the LCD's modulation page: start and timing on the left, the step graph in the middle
// and the sequencer's output routings on the right.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include "editor/modulation/CorvanModOutputPanel.h"
#include "editor/sequencer/CorvanSequencerFirstPanel.h"
#include "editor/sequencer/CorvanSequencerThirdPanel.h"
#include "widgets/MVGuiInterface.h"
#include "widgets/MVPanel.h"

namespace corvex {

// Message thread only.
class CorvanSequencerPanel : public MVPanel {
public:
    static constexpr int kMargin = 9;

    explicit CorvanSequencerPanel(MVGuiInterface* gui);
    ~CorvanSequencerPanel() override;
    CorvanSequencerPanel(const CorvanSequencerPanel&) = delete;
    CorvanSequencerPanel& operator=(const CorvanSequencerPanel&) = delete;

    CorvanSequencerFirstPanel& getFirstPanel() { return first_; }
    CorvanSequencerThirdPanel& getThirdPanel() { return third_; }
    CorvanModOutputPanel& getOutputPanel() { return outputs_; }

    // The middle panel first, so that its graph stops or resumes repainting with the page.
    void setVisible(bool shouldBeVisible) override;

    void paint(juce::Graphics& g) override;
    void resized() override;

private:
    CorvanSequencerFirstPanel first_;
    CorvanSequencerThirdPanel third_;
    CorvanModOutputPanel outputs_;
};

} // namespace corvex
