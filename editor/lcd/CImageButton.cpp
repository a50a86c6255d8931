#include "editor/lcd/CImageButton.h"

#include "widgets/CorvanLookAndFeel.h"
#include "widgets/MVFilmStrip.h"

namespace corvex {

namespace {
// Full opacity: the library draws the overlay colour at the image's opacity, so anything less would fade the
// mask rather than tint it.
std::unique_ptr<juce::DrawableImage> greyMask(const juce::Image& image) {
    auto drawable = std::make_unique<juce::DrawableImage>(image);
    drawable->setOpacity(1.0f);
    drawable->setOverlayColour(CorvanLookAndFeel::getInstance()->greyColour);
    return drawable;
}
} // namespace

CImageButton::CImageButton() : juce::DrawableButton({}, juce::DrawableButton::ImageRaw) {}

void CImageButton::setImages(const void* offPng, size_t offSize, const void* onPng, size_t onSize) {
    const juce::Image off = loadWidgetImage(offPng, offSize);
    setSize(off.getWidth(), off.getHeight());
    const auto offImage = greyMask(off);
    const auto onImage = greyMask(loadWidgetImage(onPng, onSize));
    juce::DrawableButton::setImages(offImage.get(), nullptr, nullptr, nullptr, onImage.get());
    setColour(backgroundColourId, juce::Colours::transparentBlack);
    setColour(backgroundOnColourId, juce::Colours::transparentBlack);
}

} // namespace corvex
