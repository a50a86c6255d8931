// Widget pictures and film strips.
#include "widgets/MVFilmStrip.h"

#include <algorithm>

namespace corvex {

juce::Image loadWidgetImage(const void* pngData, size_t pngSize) {
    if (pngData == nullptr || pngSize == 0) return {};
    return juce::ImageCache::getFromMemory(pngData, static_cast<int>(pngSize));
}

void drawFilmStripFrame(juce::Graphics& g, const juce::Image& strip, int frames, int frame) {
    if (!strip.isValid() || frames < 1) return;
    const int frameHeight = strip.getHeight() / frames;
    if (frameHeight < 1) return;
    frame = std::clamp(frame, 0, frames - 1);
    g.drawImage(strip, 0, 0, strip.getWidth(), frameHeight, 0, frame * frameHeight, strip.getWidth(), frameHeight);
}

} // namespace corvex
