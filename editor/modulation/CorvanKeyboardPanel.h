// The "Keyboard" page of the LCD's modulations: the velocity and aftertouch curves of the edited layer and the
// routes of each source.
#pragma once

#include <memory>

#include "editor/modulation/CorvanKeyboardModCurveComponent.h"
#include "editor/modulation/CorvanKeyboardModOutputPanel.h"
#include "widgets/MVGuiInterface.h"
#include "widgets/MVPanel.h"

namespace corvex {

// Message thread only.
class CorvanKeyboardPanel : public MVPanel {
public:
    explicit CorvanKeyboardPanel(MVGuiInterface* gui);
    ~CorvanKeyboardPanel() override;
    CorvanKeyboardPanel(const CorvanKeyboardPanel&) = delete;
    CorvanKeyboardPanel& operator=(const CorvanKeyboardPanel&) = delete;

    CorvanKeyboardModCurveComponent& getVelocityCurve() { return *velocityCurve_; }
    CorvanKeyboardModCurveComponent& getAftertouchCurve() { return *aftertouchCurve_; }
    CorvanKeyboardModOutputPanel& getVelocityOutputs() { return *velocityOutputs_; }
    CorvanKeyboardModOutputPanel& getAftertouchOutputs() { return *aftertouchOutputs_; }

    void resized() override;
    void paint(juce::Graphics& g) override;

private:
    std::unique_ptr<CorvanKeyboardModCurveComponent> velocityCurve_;
    std::unique_ptr<CorvanKeyboardModCurveComponent> aftertouchCurve_;
    std::unique_ptr<CorvanKeyboardModOutputPanel> velocityOutputs_;
    std::unique_ptr<CorvanKeyboardModOutputPanel> aftertouchOutputs_;
};

} // namespace corvex
