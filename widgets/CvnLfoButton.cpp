// The LFO trigger's faces.
#include "widgets/CvnLfoButton.h"

#include "CorvexArtwork.h"
#include "widgets/MVFilmStrip.h"

namespace corvex {

namespace {
std::unique_ptr<juce::Drawable> face(const void* data, size_t size) {
    auto drawable = std::make_unique<juce::DrawableImage>();
    drawable->setImage(loadWidgetImage(data, size));
    return drawable;
}
} // namespace

CvnLfoButton::CvnLfoButton(MVGuiInterface* gui, int index) : MVPushButton(gui, index) {
    const auto off = face(CorvexArtwork::lfo_button_off_png, CorvexArtwork::lfo_button_off_pngSize);
    const auto on = face(CorvexArtwork::lfo_button_on_png, CorvexArtwork::lfo_button_on_pngSize);
    setImages(off.get(), nullptr, nullptr, nullptr, on.get(), nullptr, nullptr, nullptr);
    setSize(kWidth, kHeight);
}

} // namespace corvex
