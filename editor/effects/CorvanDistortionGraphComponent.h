// The insert distortion's transfer curve: input across, output upwards, steeper as the drive rises. It only shows.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include "widgets/MVGuiInterface.h"
#include "widgets/MVParameterBinding.h"
#include "widgets/MVParameterListener.h"

namespace corvex {

// Message thread only.
class CorvanDistortionGraphComponent : public juce::Component, public MVParameterListener {
public:
    CorvanDistortionGraphComponent(int chain, MVGuiInterface* gui);
    ~CorvanDistortionGraphComponent() override;

    float getDrive() const { return drive_; }

    void paint(juce::Graphics& g) override;
    void parameterChanged(int index, float value) override;
    void highlightChanged(int, float) override {}

private:
    MVGuiInterface* const gui_;
    const int chain_;
    float drive_ = 0.5f;
    MVParameterBinding driveBinding_;
    MVParameterBinding secondBinding_;
};

} // namespace corvex
