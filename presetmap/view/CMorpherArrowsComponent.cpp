#include "presetmap/view/CMorpherArrowsComponent.h"

#include "presetmap/view/CMorpherUtil.h"

namespace corvex {

CMorpherArrowsComponent::CMorpherArrowsComponent(juce::Component& owner, const MorphSnapshots& morph)
    : owner_(owner), morph_(morph) {
    // The owner keeps the mouse: the overlay only shows what the drag does.
    setInterceptsMouseClicks(false, false);
}

void CMorpherArrowsComponent::start(float x, float y) {
    mask_ = morph_.presenceMask();
    setBounds(0, 0, owner_.getWidth(), owner_.getHeight());
    setVisible(true);
    start_ = current_ = {x, y};
    repaint();
}

void CMorpherArrowsComponent::moveTo(float x, float y) {
    current_ = {x, y};
    repaint();
}

void CMorpherArrowsComponent::paint(juce::Graphics& g) {
    g.setColour(juce::Colour(0xFFFF0000));
    for (int i = 0; i < kMorphSlots; ++i) {
        if ((mask_ & (1 << i)) == 0) continue;
        const MorphPoint p = morph_.getPosition(i);
        CMorpherUtil::drawMorphArrow(g, p.x, p.y, current_.x, current_.y, 1.0f);
    }
    g.setColour(juce::Colour(0xFF008000));
    CMorpherUtil::drawMorphArrow(g, start_.x, start_.y, current_.x, current_.y, 1.0f);
}

} // namespace corvex
