// A rounded button of the LCD tool bars, with an icon drawn by each variant and its name as a tooltip shown
// after the mouse rests on it for the preferred delay.
#pragma once

#include <initializer_list>

#include <juce_gui_basics/juce_gui_basics.h>

#include "widgets/MVGuiInterface.h"
#include "widgets/MVMillisecondClock.h"

namespace corvex {

// Message thread only.
class CvnLcdToolBarButton : public juce::Button, public juce::Timer {
public:
    static constexpr int kTimerIntervalMs = 100;

    // The name is the tooltip's text.
    CvnLcdToolBarButton(const juce::String& name, MVGuiInterface* gui);
    ~CvnLcdToolBarButton() override;
    CvnLcdToolBarButton(const CvnLcdToolBarButton&) = delete;
    CvnLcdToolBarButton& operator=(const CvnLcdToolBarButton&) = delete;

    bool isHoverPending() const { return hoverStartTime_ != 0; }
    void setClock(MVMillisecondClock clock) { clock_ = std::move(clock); }

    void mouseEnter(const juce::MouseEvent& event) override;
    void mouseExit(const juce::MouseEvent& event) override;
    // Shows the tooltip once the hover has lasted longer than the delay; stops one tick after it is done.
    void timerCallback() override;

protected:
    // The frame; variants draw their icon over it.
    void paintButton(juce::Graphics& g, bool isMouseOver, bool isButtonDown) override;
    juce::Colour iconColour(bool isButtonDown) const;
    // A picture's alpha channel filled with the icon colour, centred and unscaled.
    void drawIconImage(juce::Graphics& g, const juce::Image& icon, bool isButtonDown) const;
    // Strokes a drawn icon in the icon colour.
    void strokeIcon(juce::Graphics& g, const juce::Path& icon, bool isButtonDown, float width = 1.0f) const;
    // Adds an open line through the points as a new sub-path.
    static void addPolyline(juce::Path& path, std::initializer_list<juce::Point<int>> points);

    MVGuiInterface* const gui_;

private:
    MVMillisecondClock clock_ = systemMillisecondClock();
    juce::uint32 hoverStartTime_ = 0;
    int hoverDelay_ = guisettings::kDefaultPopupDelayMs;
};

} // namespace corvex
