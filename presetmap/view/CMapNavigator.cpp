#include "presetmap/view/CMapNavigator.h"

namespace corvex {

namespace {
constexpr float kMapSide = 1024.0f;
}

CMapNavigator::CMapNavigator() : marker_(std::make_unique<PresetMapButton>(nullptr, 0)) {
    marker_->setSize(kMarkerSize, kMarkerSize);
    marker_->setToggleState(true, juce::dontSendNotification);
    // The rectangle under the marker stays draggable.
    marker_->setInterceptsMouseClicks(false, false);
    addChildComponent(*marker_);
}

CMapNavigator::~CMapNavigator() { removeChildComponent(marker_.get()); }

void CMapNavigator::showMarker(const PresetMapRecord* record) {
    marker_->setVisible(record != nullptr);
    if (record == nullptr) return;
    marker_->setType(record->type);
    marker_->setBounds(static_cast<int>(static_cast<float>(getWidth()) * record->x / kMapSide),
                       static_cast<int>(static_cast<float>(getHeight()) * record->y / kMapSide), kMarkerSize,
                       kMarkerSize);
}

} // namespace corvex
