// A slider drawn as a thumb picture.
#include "widgets/MVBSlider.h"

#include "widgets/MVFilmStrip.h"

namespace corvex {

MVBSlider::MVBSlider(MVGuiInterface* gui, int index, const void* pngData, size_t pngSize)
    : MVSlider(gui, index), thumb_(loadWidgetImage(pngData, pngSize)) {}

int MVBSlider::getThumbY() const {
    return static_cast<int>((1.0 - getValue()) * (getHeight() - thumb_.getHeight()));
}

void MVBSlider::paint(juce::Graphics& g) {
    if (thumb_.isValid()) g.drawImageAt(thumb_, 0, getThumbY());
    MVSlider::paint(g);
}

} // namespace corvex
