// The tool-bar button's frame, icon colours and hover tooltip.
#include "widgets/CvnLcdToolBarButton.h"

#include "widgets/CorvanLookAndFeel.h"

namespace corvex {

CvnLcdToolBarButton::CvnLcdToolBarButton(const juce::String& name, MVGuiInterface* gui)
    : juce::Button(name), gui_(gui) {}

CvnLcdToolBarButton::~CvnLcdToolBarButton() { stopTimer(); }

void CvnLcdToolBarButton::mouseEnter(const juce::MouseEvent& event) {
    juce::Button::mouseEnter(event);
    if (gui_ == nullptr) return;
    if (gui_->getStringSetting(guisettings::kShowPopupOnOver, guisettings::kYes) != guisettings::kYes) return;
    hoverStartTime_ = clock_();
    // 0 means "no hover pending", so a counter that reads 0 just now is taken as 1.
    if (hoverStartTime_ == 0) hoverStartTime_ = 1;
    hoverDelay_ = gui_->getIntSetting(guisettings::kPopupDelayTime, guisettings::kDefaultPopupDelayMs);
    startTimer(kTimerIntervalMs);
}

void CvnLcdToolBarButton::mouseExit(const juce::MouseEvent& event) {
    juce::Button::mouseExit(event);
    hoverStartTime_ = 0;
    if (gui_ != nullptr) gui_->hideTextBubble();
}

void CvnLcdToolBarButton::timerCallback() {
    if (hoverStartTime_ == 0) {
        stopTimer();
        return;
    }
    // Unsigned, so that the counter wrapping round does not hold the tooltip back for ever.
    const juce::uint32 waited = clock_() - hoverStartTime_;
    if (static_cast<juce::int64>(waited) > static_cast<juce::int64>(hoverDelay_)) {
        if (gui_ != nullptr) gui_->showTextBubble(getName(), this);
        hoverStartTime_ = 0;
    }
}

void CvnLcdToolBarButton::paintButton(juce::Graphics& g, bool isMouseOver, bool isButtonDown) {
    const CorvanLookAndFeel& lf = *CorvanLookAndFeel::getInstance();
    juce::Colour fill = lf.darkColour;
    juce::Colour outline = lf.greyColour;
    if (!isEnabled()) {
        outline = lf.greyColour.withAlpha(0.4f);
    } else if (isButtonDown || getToggleState()) {
        fill = lf.greyColour;
        outline = lf.darkColour;
    }
    const auto box = juce::Rectangle<int>(1, 1, getWidth() - 2, getHeight() - 2).toFloat();
    g.setColour(fill);
    g.fillRoundedRectangle(box, 5.0f);
    g.setColour(outline);
    g.drawRoundedRectangle(box, 5.0f, isMouseOver ? 3.0f : 1.0f);
}

juce::Colour CvnLcdToolBarButton::iconColour(bool isButtonDown) const {
    const CorvanLookAndFeel& lf = *CorvanLookAndFeel::getInstance();
    if (!isEnabled()) return lf.greyColour.withAlpha(0.4f);
    return isButtonDown || getToggleState() ? lf.darkColour : lf.greyColour;
}

void CvnLcdToolBarButton::drawIconImage(juce::Graphics& g, const juce::Image& icon, bool isButtonDown) const {
    if (!icon.isValid()) return;
    g.setColour(iconColour(isButtonDown));
    g.drawImageAt(icon, (getWidth() - icon.getWidth()) / 2, (getHeight() - icon.getHeight()) / 2, true);
}

void CvnLcdToolBarButton::strokeIcon(juce::Graphics& g, const juce::Path& icon, bool isButtonDown,
                                     float width) const {
    g.setColour(iconColour(isButtonDown));
    g.strokePath(icon, juce::PathStrokeType(width));
}

void CvnLcdToolBarButton::addPolyline(juce::Path& path, std::initializer_list<juce::Point<int>> points) {
    bool first = true;
    for (const juce::Point<int>& p : points) {
        if (first)
            path.startNewSubPath(p.toFloat());
        else
            path.lineTo(p.toFloat());
        first = false;
    }
}

} // namespace corvex
