// The picture of a master reverb's room, redrawn whenever its size or its high damping changes.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include "widgets/MVGuiInterface.h"
#include "widgets/MVParameterBinding.h"
#include "widgets/MVParameterListener.h"

namespace corvex {

// Message thread only.
class CorvanFxReverbGraphComponent : public juce::Component, public MVParameterListener {
public:
    // slot: the master-effect slot, 0 or 1.
    CorvanFxReverbGraphComponent(int slot, MVGuiInterface* gui);
    ~CorvanFxReverbGraphComponent() override;
    CorvanFxReverbGraphComponent(const CorvanFxReverbGraphComponent&) = delete;
    CorvanFxReverbGraphComponent& operator=(const CorvanFxReverbGraphComponent&) = delete;

    void paint(juce::Graphics& g) override;
    void parameterChanged(int index, float value) override;
    void highlightChanged(int, float) override {}

    float getSize() const { return size_; }
    float getFill() const { return fill_; }

private:
    MVGuiInterface* const gui_;
    const int slot_;
    float size_ = 0.0f;
    float fill_ = 0.0f;
    MVParameterBinding sizeBinding_;
    MVParameterBinding fillBinding_;
};

} // namespace corvex
