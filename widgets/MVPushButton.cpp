// The momentary button of the LFO trigger.
#include "widgets/MVPushButton.h"

namespace corvex {

namespace {
// The button's two faces, a lamp off and lit.
std::unique_ptr<juce::Drawable> lampPicture(bool lit) {
    juce::Image image(juce::Image::ARGB, MVPushButton::kWidth, MVPushButton::kHeight, true);
    juce::Graphics g(image);
    const juce::Rectangle<float> body(0.5f, 0.5f, MVPushButton::kWidth - 1.0f, MVPushButton::kHeight - 1.0f);
    g.setColour(juce::Colour(0xFF2A2A2A));
    g.fillRoundedRectangle(body, 3.0f);
    g.setColour(lit ? juce::Colour(0xFFFF3A1E) : juce::Colour(0xFF5A1810));
    g.fillRoundedRectangle(body.reduced(5.0f, 5.0f), 2.0f);
    g.setColour(juce::Colour(0xFF8A8A8A));
    g.drawRoundedRectangle(body, 3.0f, 1.0f);
    auto drawable = std::make_unique<juce::DrawableImage>();
    drawable->setImage(image);
    return drawable;
}
} // namespace

MVPushButton::MVPushButton(MVGuiInterface* gui, int index) : MVParameterButton(gui, index) {
    down_ = getToggleState();
    const auto off = lampPicture(false);
    const auto on = lampPicture(true);
    setImages(off.get(), nullptr, nullptr, nullptr, on.get(), nullptr, nullptr, nullptr);
    bind();
}

// Neither a ctrl-click nor the library's flash of an unpainted release is a push.
void MVPushButton::buttonStateChanged(juce::Button*) {
    const bool down = getState() == buttonDown && !isIgnoringPresses();
    if (down == down_) return;
    down_ = down;
    setToggleState(down, juce::dontSendNotification);
    if (gui_ != nullptr) gui_->notifyParameterEdit(MVGuiInterface::kNewValue, index_, down ? 1.0f : 0.0f);
}

void MVPushButton::parameterChanged(int, float value) {
    const bool on = value > 0.5f;
    if (on == down_) return;
    down_ = on;
    setToggleState(on, juce::dontSendNotification);
}

} // namespace corvex
