// Moves and resizes components smoothly to a destination over one second, with an acceleration profile given
// by a start and an end speed, on a 20 ms timer that runs only while something moves.
#pragma once

#include <memory>
#include <vector>

#include <juce_gui_basics/juce_gui_basics.h>

#include "widgets/MVComponentAnimatorListener.h"
#include "widgets/MVMillisecondClock.h"

namespace corvex {

// Message thread only.
class MVComponentAnimator : public juce::Timer {
public:
    static constexpr int kTimerIntervalMs = 20;
    static constexpr int kDurationMs = 1000;

    // Tests pass a clock they turn by hand and call timerCallback themselves.
    explicit MVComponentAnimator(MVMillisecondClock clock = systemMillisecondClock());
    ~MVComponentAnimator() override;
    MVComponentAnimator(const MVComponentAnimator&) = delete;
    MVComponentAnimator& operator=(const MVComponentAnimator&) = delete;

    // May be null.
    void setListener(MVComponentAnimatorListener* listener) { listener_ = listener; }

    // Starts, or restarts from where it is now, the animation of the component. Speeds of 0 ease in and out.
    void animateComponent(juce::Component* component, const juce::Rectangle<int>& destination, double startSpeed,
                          double endSpeed);
    // Leaves every component where it is; the listener is not told.
    void cancelAllAnimations();
    int getAnimationCount() const { return static_cast<int>(animations_.size()); }
    bool isAnimating(const juce::Component* component) const;

    void timerCallback() override;

    // The distance fraction reached at time fraction t (0..1) for normalised start, middle and end speeds.
    static double distanceAt(double t, double startSpeed, double middleSpeed, double endSpeed);

private:
    class Animation;

    MVMillisecondClock clock_;
    std::vector<std::unique_ptr<Animation>> animations_;
    juce::uint32 lastTime_ = 0;
    MVComponentAnimatorListener* listener_ = nullptr;
};

} // namespace corvex
