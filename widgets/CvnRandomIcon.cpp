// Our own drawing of the random picture.
#include "widgets/CvnRandomIcon.h"

namespace corvex {

namespace {
constexpr juce::int64 kCacheKey = 0x43766e49636f6e02; // "CvnIcon" and a number
} // namespace

juce::Image CvnRandomIcon::get() {
    juce::Image image = juce::ImageCache::getFromHashCode(kCacheKey);
    if (!image.isValid()) {
        image = draw();
        juce::ImageCache::addImageToCache(image, kCacheKey);
    }
    return image;
}

juce::Image CvnRandomIcon::draw() {
    juce::Image image(juce::Image::ARGB, kWidth, kHeight, true);
    juce::Graphics g(image);
    g.setColour(juce::Colours::white);
    g.drawRoundedRectangle(1.5f, 1.5f, 17.0f, 17.0f, 3.0f, 1.5f);
    const float pips[5][2] = {{6.0f, 6.0f}, {14.0f, 6.0f}, {10.0f, 10.0f}, {6.0f, 14.0f}, {14.0f, 14.0f}};
    for (const auto& p : pips) g.fillEllipse(p[0] - 1.5f, p[1] - 1.5f, 3.0f, 3.0f);
    return image;
}

} // namespace corvex
