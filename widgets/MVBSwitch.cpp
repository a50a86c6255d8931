// A switch drawn from a film strip.
#include "widgets/MVBSwitch.h"

#include "widgets/MVFilmStrip.h"

namespace corvex {

MVBSwitch::MVBSwitch(MVGuiInterface* gui, int index, int positions, bool inverted, const void* pngData,
                     size_t pngSize)
    : MVSwitch(gui, index, positions, inverted), strip_(loadWidgetImage(pngData, pngSize)) {}

void MVBSwitch::paint(juce::Graphics& g) { drawFilmStripFrame(g, strip_, getPositionCount(), getFrame()); }

} // namespace corvex
