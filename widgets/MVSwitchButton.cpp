// A latching picture button bound to one on/off parameter.
#include "widgets/MVSwitchButton.h"

#include "widgets/MVFilmStrip.h"

namespace corvex {

namespace {
std::unique_ptr<juce::Drawable> pictureOf(const void* data, size_t size) {
    const juce::Image image = loadWidgetImage(data, size);
    if (!image.isValid()) return nullptr;
    auto drawable = std::make_unique<juce::DrawableImage>();
    drawable->setImage(image);
    return drawable;
}
} // namespace

MVSwitchButton::MVSwitchButton(MVGuiInterface* gui, int index, const void* offData, size_t offSize,
                               const void* offDownData, size_t offDownSize, const void* onData, size_t onSize,
                               const void* onDownData, size_t onDownSize)
    : MVParameterButton(gui, index) {
    setClickingTogglesState(true);
    const auto off = pictureOf(offData, offSize);
    const auto offDown = pictureOf(offDownData, offDownSize);
    const auto on = pictureOf(onData, onSize);
    const auto onDown = pictureOf(onDownData, onDownSize);
    setImages(off.get(), nullptr, offDown.get(), nullptr, on.get(), nullptr, onDown.get(), nullptr);
    bind();
}

void MVSwitchButton::buttonClicked(juce::Button*) {
    if (isBound() && gui_ != nullptr)
        gui_->notifyParameterEdit(MVGuiInterface::kNewValue, index_, getToggleState() ? 1.0f : 0.0f);
}

void MVSwitchButton::parameterChanged(int, float value) { setToggleState(value > 0.5f, juce::dontSendNotification); }

} // namespace corvex
