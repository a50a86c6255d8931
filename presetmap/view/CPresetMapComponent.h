// The map: every patch of the map cache as a typed, coloured point over the background image. A click on a
// point selects its patch; a left click on empty map morphs between the four nearest patches shown; a right
// click offers to rebuild the map.
#pragma once

#include <array>
#include <memory>
#include <vector>

#include <juce_gui_basics/juce_gui_basics.h>

#include "presetmap/PresetMapRecord.h"
#include "presetmap/view/CMorpherUtil.h"
#include "presetmap/view/IPresetSelector.h"
#include "presetmap/view/PresetMapButton.h"

namespace corvex {

class ModalCalls;

// The points nearest a position, in no particular order; positions are the points' centres in view pixels.
struct NearestMapPoints {
    std::array<const PresetMapRecord*, kMorphSlots> records{};
    std::array<MorphPoint, kMorphSlots> positions{};
    int count = 0;
};

class CPresetMapComponent : public juce::Component, public juce::Button::Listener, public CMorpherUtil {
public:
    static constexpr int kMapSize = 1024;
    static constexpr int kPointSize = 16;
    static constexpr int kLargestPoint = 32;

    // Reads the map cache and the background through the support; both are borrowed and must outlive the view.
    CPresetMapComponent(ISoundmapSupportBase& support, ModalCalls& modal);
    ~CPresetMapComponent() override;

    void paint(juce::Graphics& g) override;
    void mouseDown(const juce::MouseEvent& e) override;
    void mouseDrag(const juce::MouseEvent& e) override;
    void mouseUp(const juce::MouseEvent& e) override;
    void buttonClicked(juce::Button* button) override;

    // The browser sets it after making the view; clicks on points do nothing before.
    void setPresetSelector(IPresetSelector* selector) { selector_ = selector; }

    // Bit t shows the points of type t.
    void setVisibleTypes(int mask);
    int getVisibleTypes() const { return visibleTypes_; }
    void setZoom(float zoom);
    float getZoom() const { return zoom_; }
    // Outlines the points of the given records in red and shows them whatever their type.
    void markSnapshotPoints(const PresetMapRecord* const* records, int count);

    // The (up to) four nearest points of the types shown, from a position in view pixels. A point shown only
    // because it is marked takes no part.
    NearestMapPoints findNearestPoints(float x, float y) const;
    // A left click on empty map at (x, y): the nearest patches loaded and taken as snapshots, then blended
    // there. False, changing nothing, with fewer than two such patches.
    bool morphFrom(float x, float y);
    // The right click: the menu, the question, then the rebuild, after which the browser closes and deletes
    // this view.
    void offerRebuild();

    const PresetMapRecords& getRecords() const { return records_; }
    PresetMapButton* getPoint(size_t n) const { return points_[n].get(); }
    bool hasBackground() const { return background_.isValid(); }

private:
    bool takesPart(const PresetMapButton& point) const;

    ISoundmapSupportBase& support_;
    ModalCalls& modal_;
    // Never resized once the points exist: they point into it.
    PresetMapRecords records_;
    std::vector<std::unique_ptr<PresetMapButton>> points_;
    juce::Image background_;
    IPresetSelector* selector_ = nullptr;
    float zoom_ = 1.0f;
    int visibleTypes_;
};

} // namespace corvex
