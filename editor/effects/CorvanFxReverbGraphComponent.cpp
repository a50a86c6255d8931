#include "editor/effects/CorvanFxReverbGraphComponent.h"

#include "editor/effects/ReverbRoomPicture.h"
#include "instrument/params/ParameterIndex.h"
#include "widgets/CorvanLookAndFeel.h"

namespace corvex {

namespace P = ParameterIndex;

CorvanFxReverbGraphComponent::CorvanFxReverbGraphComponent(int slot, MVGuiInterface* gui)
    : gui_(gui), slot_(slot == 1 ? 1 : 0), sizeBinding_(gui, this), fillBinding_(gui, this) {
    const int sizeIndex = P::masterEffectIndex(P::kMasterFxReverbSize, slot_);
    const int fillIndex = P::masterEffectIndex(P::kMasterFxReverbHighDamping, slot_);
    sizeBinding_.bind(sizeIndex);
    fillBinding_.bind(fillIndex);
    if (gui_ != nullptr) {
        size_ = gui_->getParameter(sizeIndex);
        fill_ = gui_->getParameter(fillIndex);
    }
    setInterceptsMouseClicks(false, false);
}

CorvanFxReverbGraphComponent::~CorvanFxReverbGraphComponent() {
    sizeBinding_.unbind();
    fillBinding_.unbind();
}

void CorvanFxReverbGraphComponent::parameterChanged(int index, float value) {
    const int row = P::masterEffectRow(index);
    if (row == P::kMasterFxReverbSize)
        size_ = value;
    else if (row == P::kMasterFxReverbHighDamping)
        fill_ = value;
    repaint();
}

void CorvanFxReverbGraphComponent::paint(juce::Graphics& g) {
    const ReverbRoom room = reverbRoomFor(getWidth(), getHeight(), size_, fill_);
    const auto rect = [](const RoomRect& r) { return juce::Rectangle<int>(r.x, r.y, r.w, r.h).toFloat(); };
    juce::Path path;
    path.addRectangle(rect(room.front));
    path.addRectangle(rect(room.back));
    for (const RoomEdge& e : room.edges)
        path.addLineSegment(juce::Line<float>(static_cast<float>(e.x1), static_cast<float>(e.y1),
                                              static_cast<float>(e.x2), static_cast<float>(e.y2)),
                            0.5f);
    const juce::Colour grey(CorvanLookAndFeel::kGrey);
    g.setColour(grey.withAlpha(room.fillAlpha));
    g.fillPath(path);
    g.setColour(grey);
    g.strokePath(path, juce::PathStrokeType(1.0f));
}

} // namespace corvex
