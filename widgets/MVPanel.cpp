// The common base of the editor's panels.
#include "widgets/MVPanel.h"

#include "widgets/MVFilmStrip.h"

namespace corvex {

void MVPanel::setBackgroundImage(const void* pngData, size_t pngSize) {
    setBackgroundImage(loadWidgetImage(pngData, pngSize));
}

void MVPanel::setBackgroundImage(const juce::Image& image) {
    background_ = image;
    repaint();
}

void MVPanel::paint(juce::Graphics& g) {
    if (background_.isValid()) g.drawImage(background_, getLocalBounds().toFloat());
}

} // namespace corvex
