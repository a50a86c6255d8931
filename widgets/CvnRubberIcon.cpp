// Our own drawing of the rubber picture.
#include "widgets/CvnRubberIcon.h"

namespace corvex {

namespace {
constexpr juce::int64 kCacheKey = 0x43766e49636f6e01; // "CvnIcon" and a number
} // namespace

juce::Image CvnRubberIcon::get() {
    juce::Image image = juce::ImageCache::getFromHashCode(kCacheKey);
    if (!image.isValid()) {
        image = draw();
        juce::ImageCache::addImageToCache(image, kCacheKey);
    }
    return image;
}

juce::Image CvnRubberIcon::draw() {
    juce::Image image(juce::Image::ARGB, kWidth, kHeight, true);
    juce::Graphics g(image);
    g.setColour(juce::Colours::white);
    juce::Path block;
    block.startNewSubPath(0.5f, 8.5f);
    block.lineTo(4.5f, 0.5f);
    block.lineTo(12.5f, 0.5f);
    block.lineTo(8.5f, 8.5f);
    block.closeSubPath();
    g.strokePath(block, juce::PathStrokeType(1.0f));
    juce::Path end;
    end.startNewSubPath(0.5f, 8.5f);
    end.lineTo(4.5f, 0.5f);
    end.lineTo(7.5f, 0.5f);
    end.lineTo(3.5f, 8.5f);
    end.closeSubPath();
    g.fillPath(end);
    return image;
}

} // namespace corvex
