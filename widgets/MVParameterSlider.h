// What the knob, the slider and the switch share: one parameter index bound through the GUI interface, the
// delayed hover bubble on a 100 ms timer, ctrl-click for MIDI learn and the highlight frame.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include "widgets/MVGuiInterface.h"
#include "widgets/MVMillisecondClock.h"
#include "widgets/MVParameterBinding.h"
#include "widgets/MVParameterListener.h"

namespace corvex {

// Message thread only.
class MVParameterSlider : public juce::Slider,
                          public juce::Slider::Listener,
                          public MVParameterListener,
                          public juce::Timer {
public:
    static constexpr int kTimerIntervalMs = 100;

    ~MVParameterSlider() override;
    MVParameterSlider(const MVParameterSlider&) = delete;
    MVParameterSlider& operator=(const MVParameterSlider&) = delete;

    // Moves the registration to the new index; the shown value stays until the next echo.
    void setParameterIndex(int index);
    int getParameterIndex() const { return index_; }
    bool isDragging() const { return dragging_; }
    bool isHoverPending() const { return hoverPending_; }
    int getHighlight() const { return highlight_; }
    void setClock(MVMillisecondClock clock) { clock_ = std::move(clock); }

    // Stores the code for the own index and repaints when it changed.
    void highlightChanged(int index, float state) override;

    // The bubble when the hover is due; the timer runs only while a hover is pending.
    void timerCallback() override;

    // Only a drag that this widget's own press handed to the library moves the value: after a ctrl-click the
    // library still holds the previous drag's state and would otherwise follow the mouse.
    void mouseDrag(const juce::MouseEvent& event) override;

    // The frame a knob or slider draws last for a highlight code (-1 draws nothing).
    static juce::Colour highlightColour(int code);
    static void drawHighlightFrame(juce::Graphics& g, int code, int width, int height);

protected:
    MVParameterSlider(MVGuiInterface* gui, int index, const juce::String& name, SliderStyle style, double maximum,
                      double interval);

    // The last step of construction: the start value, then listening to itself and to the index.
    void bind(double startValue);

    // True, after opening the MIDI-learn popup, when ctrl is held: the press goes no further.
    bool handledAsMidiLearn(const juce::MouseEvent& event);
    void startLibraryDrag(const juce::MouseEvent& event);
    // Clears dragging, ends the library drag, hides the bubble and reports the gesture end with `value`.
    void release(const juce::MouseEvent& event, float value);
    // "yes" unless the preference says otherwise.
    bool settingIsYes(const char* key);
    // Takes the hover delay from the preferences again.
    void rereadHoverDelay() { hoverDelayMs_ = readHoverDelay(); }
    void armHover();
    void clearHover() { hoverPending_ = false; }
    // Shows the bubble once the hover has lasted longer than the delay.
    void showBubbleWhenHoverDue();

    MVGuiInterface* const gui_;
    int index_;
    bool dragging_ = false;
    int highlight_ = -1;

private:
    int readHoverDelay();

    MVParameterBinding binding_;
    MVMillisecondClock clock_ = systemMillisecondClock();
    bool hoverPending_ = false;
    juce::uint32 hoverStart_ = 0;
    int hoverDelayMs_ = guisettings::kDefaultPopupDelayMs;
    bool libraryDragActive_ = false;
};

} // namespace corvex
