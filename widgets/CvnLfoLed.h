// The front panel's LFO blink: the lit LED picture with its opacity following the parameter's value. The unlit
// LED is part of the panel background, so at 0 nothing is drawn.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include "widgets/MVGuiInterface.h"
#include "widgets/MVParameterBinding.h"
#include "widgets/MVParameterListener.h"

namespace corvex {

// Message thread only.
class CvnLfoLed : public juce::Component, public MVParameterListener {
public:
    static constexpr int kWidth = 12;
    static constexpr int kHeight = 13;

    CvnLfoLed(MVGuiInterface* gui, int index);
    ~CvnLfoLed() override;
    CvnLfoLed(const CvnLfoLed&) = delete;
    CvnLfoLed& operator=(const CvnLfoLed&) = delete;

    // The lit picture with every alpha multiplied by the value; the index is not checked, as the panel binds
    // one LED to one index.
    void parameterChanged(int index, float value) override;
    void highlightChanged(int, float) override {}
    void paint(juce::Graphics& g) override;

    // Our artwork: a lit amber LED and the unlit one, both kWidth x kHeight.
    static juce::Image litImage();
    static juce::Image baseImage();

private:
    MVGuiInterface* const gui_;
    const int index_;
    const juce::Image lit_;
    juce::Image shown_;
    float shownAlpha_ = 0.0f;
    MVParameterBinding binding_;
};

} // namespace corvex
