// The equaliser editor's controls: each band's switch over its frequency, gain and (for the peaks) Q knobs.
#pragma once

#include <array>
#include <memory>

#include <juce_gui_basics/juce_gui_basics.h>

#include "editor/effects/CorvanParamEqSubPanel.h"
#include "widgets/CvnLcdButton.h"
#include "widgets/CvnLcdKnob.h"

namespace corvex {

// Message thread only.
class CorvanParamEqSubPanel1 : public CorvanParamEqSubPanel {
public:
    CorvanParamEqSubPanel1(MVGuiInterface* gui, int chain);
    ~CorvanParamEqSubPanel1() override;

    void resized() override;

protected:
    void setBandEnabled(int band, bool on) override;

private:
    std::array<std::unique_ptr<CvnLcdButton>, 4> switches_;
    std::array<std::unique_ptr<juce::Label>, 10> labels_;
    std::array<std::unique_ptr<CvnLcdKnob>, 10> knobs_;
};

} // namespace corvex
