// What the three skinned sliders share: a thumb picture centred across the slider, so that a thumb picture wider
// than the slider (its extra columns hold only shadow) keeps its cap inside the widget.
#pragma once

#include <cstddef>

#include "widgets/MVBSlider.h"

namespace corvex {

class CvnSlider : public MVBSlider {
public:
    // The thumb's left column: negative for a picture wider than the slider.
    int getThumbX() const;
    void paint(juce::Graphics& g) override;

protected:
    CvnSlider(MVGuiInterface* gui, int index, const void* pngData, size_t pngSize);

private:
    juce::Image thumb_;
};

} // namespace corvex
