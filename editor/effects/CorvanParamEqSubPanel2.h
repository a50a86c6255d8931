// The equaliser editor's modulations: each band parameter's modulation source and amount.
#pragma once

#include <array>
#include <memory>

#include <juce_gui_basics/juce_gui_basics.h>

#include "editor/effects/CorvanParamEqSubPanel.h"
#include "widgets/CvnLcdComboBox.h"
#include "widgets/CvnLcdKnob.h"

namespace corvex {

// Message thread only.
class CorvanParamEqSubPanel2 : public CorvanParamEqSubPanel {
public:
    CorvanParamEqSubPanel2(MVGuiInterface* gui, int chain);
    ~CorvanParamEqSubPanel2() override;

    void resized() override;

protected:
    void setBandEnabled(int band, bool on) override;

private:
    struct Row {
        std::unique_ptr<juce::Label> label;
        std::unique_ptr<CvnLcdKnob> amount;
        std::unique_ptr<CvnLcdComboBox> source;
    };
    std::array<Row, 10> rows_;
};

} // namespace corvex
