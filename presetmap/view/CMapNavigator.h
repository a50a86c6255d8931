// The browser's navigator over the map: the viewport's overview, with the current preset marked on it.
#pragma once

#include <memory>

#include "presetmap/PresetMapRecord.h"
#include "presetmap/view/PresetMapButton.h"
#include "presetmap/view/ViewportNavigator.h"

namespace corvex {

class CMapNavigator : public ViewportNavigator {
public:
    static constexpr int kMarkerSize = 9;

    CMapNavigator();
    ~CMapNavigator() override;

    // Null hides the marker; a record puts it at its place on the map, in the record's type.
    void showMarker(const PresetMapRecord* record);
    const PresetMapButton& getMarker() const { return *marker_; }

private:
    std::unique_ptr<PresetMapButton> marker_;
};

} // namespace corvex
