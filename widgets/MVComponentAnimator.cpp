// Moves and resizes components smoothly to a destination.
#include "widgets/MVComponentAnimator.h"

#include <algorithm>
#include <cmath>

namespace corvex {

class MVComponentAnimator::Animation {
public:
    Animation(juce::Component* component) : component_(component) {}

    juce::Component* getComponent() const { return component_.getComponent(); }

    void start(const juce::Rectangle<int>& destination, double startSpeed, double endSpeed) {
        destination_ = destination;
        elapsedMs_ = 0;
        lastProgress_ = 0.0;
        // Speeds that sum to -2 or less, or are no numbers, have no profile; they move as the plain ease does.
        if (!std::isfinite(startSpeed) || !std::isfinite(endSpeed) || startSpeed + endSpeed + 2.0 <= 0.0)
            startSpeed = endSpeed = 0.0;
        const double k = 4.0 / (startSpeed + endSpeed + 2.0);
        startSpeed_ = std::max(0.0, startSpeed * k);
        middleSpeed_ = k;
        endSpeed_ = std::max(0.0, endSpeed * k);
        const juce::Rectangle<int> bounds = component_->getBounds();
        left_ = bounds.getX();
        top_ = bounds.getY();
        right_ = bounds.getRight();
        bottom_ = bounds.getBottom();
    }

    // False once the record is done: the component arrived, or it no longer exists.
    bool useTimeslice(int elapsedMs) {
        juce::Component* component = component_.getComponent();
        if (component == nullptr) return false;
        elapsedMs_ += elapsedMs;
        const double p = static_cast<double>(elapsedMs_) / kDurationMs;
        if (p >= 0.0 && p < 1.0) {
            const double d = distanceAt(p, startSpeed_, middleSpeed_, endSpeed_);
            const double delta = (d - lastProgress_) / (1.0 - lastProgress_);
            lastProgress_ = d;
            left_ += (destination_.getX() - left_) * delta;
            top_ += (destination_.getY() - top_) * delta;
            right_ += (destination_.getRight() - right_) * delta;
            bottom_ += (destination_.getBottom() - bottom_) * delta;
            if (delta < 1.0) {
                const juce::Rectangle<int> bounds(nearest(left_), nearest(top_), nearest(right_ - left_),
                                                  nearest(bottom_ - top_));
                if (bounds != destination_) {
                    component->setBounds(bounds);
                    return true;
                }
            }
        }
        component->setBounds(destination_);
        return false;
    }

private:
    // Ties go to the even neighbour (the default rounding mode).
    static int nearest(double v) { return static_cast<int>(std::nearbyint(v)); }

    juce::Component::SafePointer<juce::Component> component_;
    juce::Rectangle<int> destination_;
    int elapsedMs_ = 0;
    double startSpeed_ = 0.0, middleSpeed_ = 2.0, endSpeed_ = 0.0;
    double lastProgress_ = 0.0;
    double left_ = 0.0, top_ = 0.0, right_ = 0.0, bottom_ = 0.0;
};

MVComponentAnimator::MVComponentAnimator(MVMillisecondClock clock) : clock_(std::move(clock)) {}

MVComponentAnimator::~MVComponentAnimator() { cancelAllAnimations(); }

double MVComponentAnimator::distanceAt(double t, double startSpeed, double middleSpeed, double endSpeed) {
    if (t < 0.5) return t * (startSpeed + t * (middleSpeed - startSpeed));
    const double u = t - 0.5;
    return 0.5 * (startSpeed + 0.5 * (middleSpeed - startSpeed)) + u * (middleSpeed + u * (endSpeed - middleSpeed));
}

void MVComponentAnimator::animateComponent(juce::Component* component, const juce::Rectangle<int>& destination,
                                           double startSpeed, double endSpeed) {
    if (component == nullptr) return;
    Animation* animation = nullptr;
    for (auto it = animations_.rbegin(); it != animations_.rend() && animation == nullptr; ++it)
        if ((*it)->getComponent() == component) animation = it->get();
    if (animation == nullptr) {
        animations_.push_back(std::make_unique<Animation>(component));
        animation = animations_.back().get();
    }
    animation->start(destination, startSpeed, endSpeed);
    if (!isTimerRunning()) {
        lastTime_ = clock_();
        startTimer(kTimerIntervalMs);
    }
}

// The timer stops with the records: a tick that found none would report a finish nobody reached.
void MVComponentAnimator::cancelAllAnimations() {
    animations_.clear();
    stopTimer();
}

bool MVComponentAnimator::isAnimating(const juce::Component* component) const {
    for (const auto& animation : animations_)
        if (animation->getComponent() == component) return true;
    return false;
}

void MVComponentAnimator::timerCallback() {
    // Nothing was moving, so nothing has finished.
    if (animations_.empty()) {
        stopTimer();
        return;
    }
    const juce::uint32 now = clock_();
    if (lastTime_ == 0 || lastTime_ == now) lastTime_ = now;
    const int step = static_cast<int>(now - lastTime_);
    for (size_t i = animations_.size(); i-- > 0;) {
        // Moving a component may run code that animates or cancels; the record is looked up afresh each time.
        if (i >= animations_.size()) continue;
        Animation* animation = animations_[i].get();
        if (!animation->useTimeslice(step)) {
            const auto it = std::find_if(animations_.begin(), animations_.end(),
                                         [&](const auto& a) { return a.get() == animation; });
            if (it != animations_.end()) animations_.erase(it);
        }
    }
    lastTime_ = now;
    if (!animations_.empty()) return;
    stopTimer();
    if (listener_ != nullptr) listener_->animationFinished();
}

} // namespace corvex
