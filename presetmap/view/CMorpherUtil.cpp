#include "presetmap/view/CMorpherUtil.h"

#include "CorvexArtwork.h"

namespace corvex {

CMorpherUtil::~CMorpherUtil() = default;

void CMorpherUtil::initMorpher(ISoundmapSupportBase* support, juce::Component* owner) {
    owner_ = owner;
    morph_.init(support);
    arrows_ = std::make_unique<CMorpherArrowsComponent>(*owner_, morph_);
    owner_->addChildComponent(*arrows_);
    const juce::Image cursor = juce::ImageCache::getFromMemory(CorvexArtwork::map_morph_cursor_png,
                                                               CorvexArtwork::map_morph_cursor_pngSize);
    owner_->setMouseCursor(juce::MouseCursor(cursor, 8, 8));
}

void CMorpherUtil::beginMorphAt(float x, float y) {
    const bool hadPath = morph_.showsLastPath();
    if (!morph_.beginMorph(x, y, static_cast<float>(owner_->getWidth()), static_cast<float>(owner_->getHeight())))
        return;
    arrows_->start(x, y);
    if (hadPath) owner_->repaint();
}

void CMorpherUtil::continueMorphAt(float x, float y) {
    if (!morph_.continueMorph(x, y, static_cast<float>(owner_->getWidth()), static_cast<float>(owner_->getHeight())))
        return;
    arrows_->moveTo(x, y);
}

void CMorpherUtil::endMorph() {
    if (arrows_ != nullptr) arrows_->setVisible(false);
    if (!morph_.isDragging()) return;
    morph_.endMorph();
    owner_->repaint();
}

void CMorpherUtil::paintLastMorphPath(juce::Graphics& g) {
    if (!morph_.showsLastPath() || owner_ == nullptr) return;
    const float w = static_cast<float>(owner_->getWidth());
    const float h = static_cast<float>(owner_->getHeight());
    const MorphPoint a = morph_.getLastStart();
    const MorphPoint b = morph_.getLastEnd();
    g.setColour(juce::Colour(0xFF00FFFF));
    drawMorphArrow(g, a.x * w, a.y * h, b.x * w, b.y * h, 3.0f);
}

void CMorpherUtil::drawMorphArrow(juce::Graphics& g, float x1, float y1, float x2, float y2, float thickness) {
    g.drawArrow(juce::Line<float>(x1, y1, (x1 + x2) / 2.0f, (y1 + y2) / 2.0f), thickness, 8.0f, 10.0f);
    g.drawLine(x1 + 0.49f * (x2 - x1), y1 + 0.49f * (y2 - y1), x2, y2, thickness);
}

} // namespace corvex
