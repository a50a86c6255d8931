// A knob drawn from a film strip.
#include "widgets/MVBKnob.h"

#include <algorithm>

#include "widgets/MVFilmStrip.h"

namespace corvex {

MVBKnob::MVBKnob(MVGuiInterface* gui, int index, const void* pngData, size_t pngSize)
    : MVKnob(gui, index), strip_(loadWidgetImage(pngData, pngSize)) {}

int MVBKnob::getFrame() const {
    return std::clamp(static_cast<int>(getValue() * (kFrames - 1)), 0, kFrames - 1);
}

void MVBKnob::paint(juce::Graphics& g) {
    drawFilmStripFrame(g, strip_, kFrames, getFrame());
    MVKnob::paint(g);
}

} // namespace corvex
