// The skinned sliders' thumb.
#include "widgets/CvnSlider.h"

#include "widgets/CvnSkinSizes.h"
#include "widgets/MVFilmStrip.h"

namespace corvex {

CvnSlider::CvnSlider(MVGuiInterface* gui, int index, const void* pngData, size_t pngSize)
    : MVBSlider(gui, index, pngData, pngSize), thumb_(loadWidgetImage(pngData, pngSize)) {
    setSize(skin::kSlider.width, skin::kSlider.height);
}

// Rounded towards the left for an odd difference, like the artwork, which centres its cap the same way.
int CvnSlider::getThumbX() const {
    const int spare = getWidth() - thumb_.getWidth();
    return spare >= 0 ? spare / 2 : -((1 - spare) / 2);
}

void CvnSlider::paint(juce::Graphics& g) {
    if (thumb_.isValid()) g.drawImageAt(thumb_, getThumbX(), getThumbY());
    MVSlider::paint(g);
}

} // namespace corvex
