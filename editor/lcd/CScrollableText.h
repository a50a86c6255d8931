// The about panel's credits: the version line, the build's date and the credits, rising slowly through the view
// and coming round again from the bottom after one blank view, so they loop without a jump.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include "widgets/MVMillisecondClock.h"

namespace corvex {

// Message thread only.
class CScrollableText : public juce::Component, public juce::Timer {
public:
    static constexpr int kPauseMs = 1000;   // the first lines stay still this long after each show
    static constexpr int kMsPerRow = 100;
    static constexpr int kRepaintMs = 50;

    // The first image row in view: elapsed time, not timer ticks, moves the text, so a late tick skips rows
    // rather than slowing the credits. The image holds one view of blank rows above the text.
    static int offsetAt(juce::uint32 now, juce::uint32 resumeTime, int viewHeight, int imageHeight, int current);

    explicit CScrollableText(MVMillisecondClock clock = systemMillisecondClock());
    ~CScrollableText() override;

    int getOffset() const { return offset_; }
    int getImageHeight() const { return imageHeight_; }

    // Showing starts the scroll from the first line; hiding stops the timer.
    void setVisible(bool shown) override;
    void resized() override;
    void paint(juce::Graphics& g) override;
    void timerCallback() override;

private:
    MVMillisecondClock clock_;
    juce::AttributedString text_;
    juce::TextLayout layout_;
    juce::Image image_;
    int offset_ = 0;
    int imageHeight_ = 0;
    juce::uint32 resumeTime_ = 0;
};

} // namespace corvex
