// Our own drawing of the pen picture.
#include "widgets/CvnPenIcon.h"

namespace corvex {

namespace {
constexpr juce::int64 kCacheKey = 0x43766e49636f6e00; // "CvnIcon" and a number
} // namespace

juce::Image CvnPenIcon::get() {
    juce::Image image = juce::ImageCache::getFromHashCode(kCacheKey);
    if (!image.isValid()) {
        image = draw();
        juce::ImageCache::addImageToCache(image, kCacheKey);
    }
    return image;
}

juce::Image CvnPenIcon::draw() {
    juce::Image image(juce::Image::ARGB, kWidth, kHeight, true);
    juce::Graphics g(image);
    g.setColour(juce::Colours::white);
    juce::Path body;
    body.startNewSubPath(4.0f, 12.5f);
    body.lineTo(12.0f, 4.5f);
    g.strokePath(body, juce::PathStrokeType(3.0f));
    juce::Path point;
    point.addTriangle(0.5f, 13.5f, 1.5f, 9.5f, 4.5f, 12.5f);
    g.fillPath(point);
    g.fillEllipse(10.5f, 0.5f, 3.0f, 3.0f);
    return image;
}

} // namespace corvex
