// The toolbar's CPU meter: a rounded bar with the audio processing load in percent. The load is polled twice a
// second and the meter repaints only when the number changed, so an idle editor paints nothing here.
#pragma once

#include <functional>

#include <juce_gui_basics/juce_gui_basics.h>

namespace corvex {

// Message thread only.
class CvnCpuLevel : public juce::Component, private juce::Timer {
public:
    static constexpr int kPollMs = 500;
    static constexpr float kCorner = 5.0f;

    // Reads the load in percent (above 100 when processing falls behind); any thread may write what it reads.
    explicit CvnCpuLevel(std::function<int()> readLoad);
    ~CvnCpuLevel() override;

    // The width of the bar inside a meter of that width: full at 100 % and above, nothing below 0.
    static int barWidth(int width, int load);
    static juce::String loadText(int load);

    void paint(juce::Graphics& g) override;
    // One poll: repaints when the load differs from the one shown; true when it did.
    bool poll();

private:
    void timerCallback() override { poll(); }

    std::function<int()> readLoad_;
    int shownLoad_ = 0;
};

} // namespace corvex
