// The component animator on a clock turned by hand: the eased path, one finish for everything, cancelling, a
// component deleted while it moves, and a timer that runs only while something moves.
#include <memory>

#include <gtest/gtest.h>

#include "tests/support/FakeGui.h"
#include "widgets/MVComponentAnimator.h"

namespace corvex {
namespace {

struct CountingListener : MVComponentAnimatorListener {
    int finished = 0;
    void animationFinished() override { ++finished; }
};

class AnimatorFixture : public ::testing::Test {
protected:
    AnimatorFixture() {
        animator.setListener(&listener);
        a.setBounds(0, 0, 100, 50);
        b.setBounds(0, 100, 100, 50);
    }
    void tickAt(juce::uint32 ms) {
        now = ms;
        animator.timerCallback();
    }

    juce::uint32 now = 10000;
    MVComponentAnimator animator{[this] { return now; }};
    CountingListener listener;
    juce::Component a, b;
};

TEST_F(AnimatorFixture, EasesInAndOutAndIsHalfwayAtHalfTime) {
    animator.animateComponent(&a, {200, 0, 100, 50}, 0.0, 0.0);
    EXPECT_TRUE(animator.isTimerRunning());
    tickAt(10250);
    const int quarter = a.getX();
    EXPECT_GT(quarter, 0);
    EXPECT_LT(quarter, 50) << "slower than linear at the start";
    tickAt(10500);
    EXPECT_EQ(a.getBounds(), juce::Rectangle<int>(100, 0, 100, 50));
    tickAt(10750);
    EXPECT_EQ(a.getX(), 200 - quarter) << "the end mirrors the start";
    EXPECT_EQ(listener.finished, 0);
    tickAt(11000);
    EXPECT_EQ(a.getBounds(), juce::Rectangle<int>(200, 0, 100, 50));
    EXPECT_EQ(listener.finished, 1);
    EXPECT_FALSE(animator.isTimerRunning());
    EXPECT_EQ(animator.getAnimationCount(), 0);
}

TEST_F(AnimatorFixture, ResizesAsWellAsMoves) {
    animator.animateComponent(&a, {0, 0, 300, 150}, 0.0, 0.0);
    tickAt(10500);
    EXPECT_EQ(a.getBounds(), juce::Rectangle<int>(0, 0, 200, 100));
    tickAt(12000);
    EXPECT_EQ(a.getBounds(), juce::Rectangle<int>(0, 0, 300, 150));
}

TEST_F(AnimatorFixture, ToItsOwnBoundsEndsAtTheFirstTick) {
    animator.animateComponent(&a, a.getBounds(), 0.0, 0.0);
    tickAt(10020);
    EXPECT_EQ(listener.finished, 1);
    EXPECT_FALSE(animator.isTimerRunning());
}

TEST_F(AnimatorFixture, TwoComponentsFinishOnceAfterBothArrived) {
    animator.animateComponent(&a, {200, 0, 100, 50}, 0.0, 0.0);
    tickAt(10500);
    animator.animateComponent(&b, {200, 100, 100, 50}, 0.0, 0.0);
    tickAt(11000);
    EXPECT_EQ(a.getX(), 200);
    EXPECT_EQ(b.getX(), 100) << "the second started half a second later";
    EXPECT_EQ(listener.finished, 0);
    tickAt(11500);
    EXPECT_EQ(b.getX(), 200);
    EXPECT_EQ(listener.finished, 1);
}

TEST_F(AnimatorFixture, RestartingTakesAFreshSecondFromWhereItIs) {
    animator.animateComponent(&a, {200, 0, 100, 50}, 0.0, 0.0);
    tickAt(10500);
    animator.animateComponent(&a, {0, 0, 100, 50}, 0.0, 0.0);
    EXPECT_EQ(animator.getAnimationCount(), 1);
    tickAt(11000);
    EXPECT_EQ(a.getX(), 50);
    tickAt(11500);
    EXPECT_EQ(a.getX(), 0);
    EXPECT_EQ(listener.finished, 1);
}

TEST_F(AnimatorFixture, CancelLeavesComponentsWhereTheyAreAndTellsNobody) {
    animator.animateComponent(&a, {200, 0, 100, 50}, 0.0, 0.0);
    tickAt(10500);
    animator.cancelAllAnimations();
    EXPECT_FALSE(animator.isTimerRunning());
    tickAt(12000);
    EXPECT_EQ(a.getX(), 100);
    EXPECT_EQ(listener.finished, 0);
}

TEST_F(AnimatorFixture, ADeletedComponentIsDroppedUntouched) {
    auto doomed = std::make_unique<juce::Component>();
    animator.animateComponent(doomed.get(), {200, 0, 100, 50}, 0.0, 0.0);
    animator.animateComponent(&a, {200, 0, 100, 50}, 0.0, 0.0);
    doomed.reset();
    tickAt(10500);
    EXPECT_EQ(animator.getAnimationCount(), 1);
    EXPECT_EQ(a.getX(), 100);
    tickAt(11000);
    EXPECT_EQ(listener.finished, 1);
}

TEST_F(AnimatorFixture, SpeedsThatCancelOutStillArrive) {
    animator.animateComponent(&a, {200, 0, 100, 50}, -1.0, -1.0); // would divide by zero
    tickAt(10500);
    EXPECT_EQ(a.getX(), 100);
    tickAt(11000);
    EXPECT_EQ(a.getX(), 200);
    animator.animateComponent(nullptr, {}, 0.0, 0.0);
    EXPECT_EQ(animator.getAnimationCount(), 0);
}

} // namespace
} // namespace corvex
