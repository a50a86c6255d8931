// A small overview of a viewport's viewed component: a thumbnail of the whole of it, with a rectangle that shows
// the part the viewport displays; dragging the rectangle scrolls the viewport. Either of the navigator and the
// viewport may go first.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include "presetmap/view/ViewportListener.h"
#include "presetmap/view/WatchedViewport.h"

namespace corvex {

// The visible area as fractions of the viewed component's size; empty for a component without size.
juce::Rectangle<float> navigatorViewRectangle(juce::Rectangle<int> visibleArea, int componentWidth,
                                              int componentHeight);

// Where a drag of (dx, dy) navigator pixels, begun with the rectangle at start, puts the viewport's view
// position: the rectangle stays inside the navigator.
juce::Point<int> navigatorDragPosition(juce::Rectangle<float> rectangle, juce::Point<float> start, float dx, float dy,
                                       int navigatorWidth, int navigatorHeight, int componentWidth,
                                       int componentHeight);

class ViewportNavigator : public juce::Component,
                          public ViewportListener,
                          public juce::ComponentListener,
                          public juce::Timer {
public:
    // After a resize or a new viewport, the thumbnail and the rectangle wait this long: a window being laid out
    // resizes its children several times in a row.
    static constexpr int kSettleMs = 500;

    ViewportNavigator();
    ~ViewportNavigator() override;

    // Null stops watching.
    void setViewport(WatchedViewport* viewport);

    void resized() override;
    void timerCallback() override;
    void visibleAreaChanged(juce::Viewport* viewport, int x, int y, int width, int height) override;
    void viewedComponentChanged(juce::Viewport* viewport, juce::Component* component) override;
    void componentMovedOrResized(juce::Component& component, bool wasMoved, bool wasResized) override;
    void paint(juce::Graphics& g) override;
    void mouseMove(const juce::MouseEvent& e) override;
    void mouseDown(const juce::MouseEvent& e) override;
    void mouseDrag(const juce::MouseEvent& e) override;
    void mouseUp(const juce::MouseEvent& e) override;

    // The visible area as fractions of the viewed component's size.
    juce::Rectangle<float> getViewRectangle() const { return view_; }
    const juce::Image& getThumbnail() const { return thumbnail_; }
    // Edges included.
    bool hitsViewRectangle(float x, float y) const;
    bool isDragging() const { return dragStart_.x >= 0.0f; }

private:
    void watch(bool on);
    void buildThumbnail();
    void updateViewRectangle();
    juce::Component* viewed() const;

    juce::Component::SafePointer<WatchedViewport> viewport_;
    // Kept apart from the viewport: a viewport that is deleted deletes its component first.
    juce::Component::SafePointer<juce::Component> watchedContent_;
    juce::Image thumbnail_;
    juce::Rectangle<float> view_;
    juce::Point<float> dragStart_{-1.0f, -1.0f};
};

} // namespace corvex
