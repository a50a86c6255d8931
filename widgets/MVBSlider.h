// A slider drawn as a thumb picture that travels the component's height.
#pragma once

#include <cstddef>

#include "widgets/MVSlider.h"

namespace corvex {

class MVBSlider : public MVSlider {
public:
    MVBSlider(MVGuiInterface* gui, int index, const void* pngData, size_t pngSize);

    // The thumb's top row: the bottom at 0, the top at 1.
    int getThumbY() const;
    void paint(juce::Graphics& g) override;

private:
    juce::Image thumb_;
};

} // namespace corvex
