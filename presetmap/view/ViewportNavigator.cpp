#include "presetmap/view/ViewportNavigator.h"

#include <algorithm>
#include <cmath>

namespace corvex {

namespace {
const juce::Colour kEmpty{0xFF000000};
const juce::Colour kFrame{0xFFFF0000};
constexpr float kFrameOpacity = 0.55f;
constexpr float kFrameThickness = 2.0f;
} // namespace

juce::Rectangle<float> navigatorViewRectangle(juce::Rectangle<int> visibleArea, int componentWidth,
                                              int componentHeight) {
    if (componentWidth <= 0 || componentHeight <= 0) return {};
    const float cw = static_cast<float>(componentWidth);
    const float ch = static_cast<float>(componentHeight);
    return {static_cast<float>(visibleArea.getX()) / cw, static_cast<float>(visibleArea.getY()) / ch,
            static_cast<float>(visibleArea.getWidth()) / cw, static_cast<float>(visibleArea.getHeight()) / ch};
}

juce::Point<int> navigatorDragPosition(juce::Rectangle<float> rectangle, juce::Point<float> start, float dx, float dy,
                                       int navigatorWidth, int navigatorHeight, int componentWidth,
                                       int componentHeight) {
    const float nx = dx / static_cast<float>(std::max(navigatorWidth, 1)) + start.x;
    const float ny = dy / static_cast<float>(std::max(navigatorHeight, 1)) + start.y;
    const float x = std::max(0.0f, std::min(nx, 1.0f - rectangle.getWidth()));
    const float y = std::max(0.0f, std::min(ny, 1.0f - rectangle.getHeight()));
    return {static_cast<int>(static_cast<float>(componentWidth) * x),
            static_cast<int>(static_cast<float>(componentHeight) * y)};
}

ViewportNavigator::ViewportNavigator() = default;

ViewportNavigator::~ViewportNavigator() {
    stopTimer();
    watch(false);
}

juce::Component* ViewportNavigator::viewed() const {
    return viewport_ != nullptr ? viewport_->getViewedComponent() : nullptr;
}

void ViewportNavigator::watch(bool on) {
    if (!on) {
        if (watchedContent_ != nullptr) watchedContent_->removeComponentListener(this);
        if (viewport_ != nullptr) {
            viewport_->removeViewportListener(this);
            viewport_->removeComponentListener(this);
        }
        watchedContent_ = nullptr;
        return;
    }
    if (viewport_ == nullptr) return;
    watchedContent_ = viewport_->getViewedComponent();
    if (watchedContent_ != nullptr) watchedContent_->addComponentListener(this);
    viewport_->addViewportListener(this);
    viewport_->addComponentListener(this);
}

void ViewportNavigator::setViewport(WatchedViewport* viewport) {
    const bool had = viewport_ != nullptr;
    watch(false);
    viewport_ = viewport;
    watch(true);
    if (viewport_ != nullptr || had) resized();
}

void ViewportNavigator::resized() { startTimer(kSettleMs); }

void ViewportNavigator::timerCallback() {
    stopTimer();
    buildThumbnail();
    updateViewRectangle();
    repaint();
}

void ViewportNavigator::visibleAreaChanged(juce::Viewport*, int, int, int, int) {
    updateViewRectangle();
    repaint();
}

void ViewportNavigator::viewedComponentChanged(juce::Viewport*, juce::Component* component) {
    // Follow the new component's resizes; the old one may be gone already.
    if (watchedContent_ != nullptr) watchedContent_->removeComponentListener(this);
    watchedContent_ = component;
    if (watchedContent_ != nullptr) watchedContent_->addComponentListener(this);
    resized();
}

void ViewportNavigator::componentMovedOrResized(juce::Component& component, bool, bool wasResized) {
    if (!wasResized || viewport_ == nullptr) return;
    if (&component == viewport_.getComponent()) {
        updateViewRectangle();
        repaint();
    } else if (&component == viewed()) {
        buildThumbnail();
        updateViewRectangle();
        repaint();
    }
}

void ViewportNavigator::buildThumbnail() {
    juce::Component* content = viewed();
    if (content == nullptr || getWidth() <= 0 || getHeight() <= 0 || thumbnail_.isValid()) return;
    if (content->getWidth() <= 0 || content->getHeight() <= 0) return;
    // A zoomed map is several thousand pixels square: draw it straight at about the navigator's size rather
    // than taking a full-size picture only to shrink it.
    const float scale = std::min(1.0f, std::max(static_cast<float>(getWidth()) / static_cast<float>(content->getWidth()),
                                                static_cast<float>(getHeight()) / static_cast<float>(content->getHeight())));
    const juce::Image small = content->createComponentSnapshot(content->getLocalBounds(), true, scale);
    thumbnail_ = small.rescaled(getWidth(), getHeight(), juce::Graphics::mediumResamplingQuality);
}

void ViewportNavigator::updateViewRectangle() {
    juce::Component* content = viewed();
    if (content == nullptr) return;
    view_ = navigatorViewRectangle(viewport_->getViewArea(), content->getWidth(), content->getHeight());
}

void ViewportNavigator::paint(juce::Graphics& g) {
    if (thumbnail_.isValid())
        g.drawImage(thumbnail_, getLocalBounds().toFloat());
    else
        g.fillAll(kEmpty);
    if (viewport_ == nullptr) return;
    const float w = static_cast<float>(getWidth());
    const float h = static_cast<float>(getHeight());
    g.setColour(kFrame.withMultipliedAlpha(kFrameOpacity));
    g.drawRect(juce::Rectangle<float>(view_.getX() * w, view_.getY() * h, view_.getWidth() * w, view_.getHeight() * h),
               kFrameThickness);
}

bool ViewportNavigator::hitsViewRectangle(float x, float y) const {
    const float w = static_cast<float>(getWidth());
    const float h = static_cast<float>(getHeight());
    const float left = view_.getX() * w;
    const float top = view_.getY() * h;
    return left <= x && x <= left + view_.getWidth() * w && top <= y && y <= top + view_.getHeight() * h;
}

void ViewportNavigator::mouseMove(const juce::MouseEvent& e) {
    setMouseCursor(hitsViewRectangle(e.position.x, e.position.y) ? juce::MouseCursor::DraggingHandCursor
                                                                 : juce::MouseCursor::NormalCursor);
}

void ViewportNavigator::mouseDown(const juce::MouseEvent& e) {
    if (!e.mods.isLeftButtonDown() || !hitsViewRectangle(e.position.x, e.position.y)) return;
    dragStart_ = view_.getPosition();
    setMouseCursor(juce::MouseCursor::DraggingHandCursor);
}

void ViewportNavigator::mouseDrag(const juce::MouseEvent& e) {
    juce::Component* content = viewed();
    if (!e.mods.isLeftButtonDown() || !isDragging() || content == nullptr) return;
    const juce::Point<float> moved = e.position - e.mouseDownPosition;
    // The rectangle itself follows when the viewport reports its new visible area.
    viewport_->setViewPosition(navigatorDragPosition(view_, dragStart_, moved.x, moved.y, getWidth(), getHeight(),
                                                     content->getWidth(), content->getHeight()));
}

void ViewportNavigator::mouseUp(const juce::MouseEvent& e) {
    dragStart_ = {-1.0f, -1.0f};
    mouseMove(e);
}

} // namespace corvex
