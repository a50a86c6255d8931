// What both lower panels of the equaliser editor share: they follow the four band switches and grey out the
// widgets of a band that is off, whatever turned it off (a click, a preset, a host).
#pragma once

#include <array>
#include <memory>

#include "widgets/MVGuiInterface.h"
#include "widgets/MVPanel.h"
#include "widgets/MVParameterBinding.h"
#include "widgets/MVParameterListener.h"

namespace corvex {

// Message thread only.
class CorvanParamEqSubPanel : public MVPanel, public MVParameterListener {
public:
    CorvanParamEqSubPanel(MVGuiInterface* gui, int chain);
    ~CorvanParamEqSubPanel() override;

    void parameterChanged(int index, float value) override;
    void highlightChanged(int, float) override {}

protected:
    // Called by the subclass once its widgets exist: listens to the switches and applies their values.
    void followBandSwitches();
    // Called first by the subclass's destructor, so no switch reaches widgets on their way out.
    void stopFollowingBandSwitches();
    virtual void setBandEnabled(int band, bool on) = 0;
    MVGuiInterface* getGui() const { return gui_; }
    int folded(int index) const;

private:
    MVGuiInterface* const gui_;
    const int chain_;
    std::array<std::unique_ptr<MVParameterBinding>, 4> switches_;
};

} // namespace corvex
