// A knob with four detents.
#include "widgets/Cvn4PosKnob.h"

#include <algorithm>
#include <cmath>

#include "widgets/CvnSkinSizes.h"
#include "widgets/MVFilmStrip.h"

namespace corvex {

Cvn4PosKnob::Cvn4PosKnob(MVGuiInterface* gui, int index, const void* pngData, size_t pngSize)
    : MVBKnob(gui, index, pngData, pngSize), strip_(loadWidgetImage(pngData, pngSize)) {}

int Cvn4PosKnob::frameForValue(double value) {
    const int last = static_cast<int>(skin::kFourPositionFrames.size()) - 1;
    const int position = std::isfinite(value) ? static_cast<int>(std::clamp(value * 4.0, 0.0, 1.0 * last)) : 0;
    return skin::kFourPositionFrames[static_cast<size_t>(position)];
}

void Cvn4PosKnob::parameterChanged(int index, float value) {
    MVBKnob::parameterChanged(index, value);
    echoed_ = value;
}

// The echo counts only while the slider still holds it; a drag since has moved the knob away from it.
int Cvn4PosKnob::getShownFrame() const {
    const bool echoHeld = std::isfinite(echoed_) && std::abs(echoed_ - getValue()) < 0.001;
    return frameForValue(echoHeld ? echoed_ : getValue());
}

void Cvn4PosKnob::paint(juce::Graphics& g) { drawFilmStripFrame(g, strip_, kFrames, getShownFrame()); }

} // namespace corvex
