// Routes one modulation source of the edited layer to three destinations, each with an amount; a row may have
// a "Q" switch, and the panel a "ReTrig" button.
#pragma once

#include <array>
#include <memory>

#include "widgets/CvnLcdButton.h"
#include "widgets/CvnLcdComboBox.h"
#include "widgets/CvnLcdKnob.h"
#include "widgets/MVGuiInterface.h"
#include "widgets/MVPanel.h"
#include "widgets/MVParameterBinding.h"
#include "widgets/MVParameterListener.h"

namespace corvex {

// Message thread only.
class CorvanModOutputPanel : public MVPanel, public MVParameterListener {
public:
    static constexpr int kRows = 3;

    // Row i edits firstDestination + i and firstAmount + i, and with a first switch index, its switch
    // firstSwitch + i; -1 leaves the switches or the "ReTrig" button out.
    CorvanModOutputPanel(MVGuiInterface* gui, const juce::String& title, int firstDestination, int firstAmount,
                         int firstSwitch, int retrigger);
    ~CorvanModOutputPanel() override;
    CorvanModOutputPanel(const CorvanModOutputPanel&) = delete;
    CorvanModOutputPanel& operator=(const CorvanModOutputPanel&) = delete;

    const juce::String& getTitle() const { return title_; }
    CvnLcdComboBox& getDestinationBox(int row) { return *destinations_.at(static_cast<size_t>(row)); }
    CvnLcdKnob& getAmountKnob(int row) { return *amounts_.at(static_cast<size_t>(row)); }
    // Null without switches or without the button.
    CvnLcdButton* getSwitch(int row) { return switches_.at(static_cast<size_t>(row)).get(); }
    CvnLcdButton* getRetriggerButton() { return retrigger_.get(); }

    void resized() override;
    void paint(juce::Graphics& g) override;
    void parameterChanged(int index, float value) override;
    void highlightChanged(int, float) override {}

private:
    void followSwitch(int row, float value);

    MVGuiInterface* const gui_;
    const juce::String title_;
    const int firstSwitch_;
    std::array<std::unique_ptr<CvnLcdComboBox>, kRows> destinations_;
    std::array<std::unique_ptr<CvnLcdKnob>, kRows> amounts_;
    std::array<std::unique_ptr<CvnLcdButton>, kRows> switches_;
    std::unique_ptr<CvnLcdButton> retrigger_;
    // Declared last so the panel stops hearing the switches before its widgets go.
    std::array<std::unique_ptr<MVParameterBinding>, kRows> switchBindings_;
};

} // namespace corvex
