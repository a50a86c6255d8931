// The morph square: the browser's four snapshot memories sit at its compass points; pressing anywhere and
// dragging morphs between their sounds, and a click on a memory's button asks the browser to load it.
#pragma once

#include <array>
#include <memory>
#include <string>

#include <juce_gui_basics/juce_gui_basics.h>

#include "presetmap/PresetMapRecord.h"
#include "presetmap/view/CMorpherUtil.h"
#include "presetmap/view/PresetMapButton.h"

namespace corvex {

// The "Compare presets" report: for every pair of filled slots (North, East, South, West), the distance
// between their places on the map.
std::string snapshotDistanceReport(const std::array<const PresetMapRecord*, kMorphSlots>& records);

class CMorpherComponent : public juce::Component,
                          public CMorpherUtil,
                          public juce::ActionBroadcaster,
                          public juce::Button::Listener {
public:
    static constexpr int kSize = 512;

    // The support is borrowed and must outlive the view.
    explicit CMorpherComponent(ISoundmapSupportBase& support);
    ~CMorpherComponent() override;

    // The browser stored the current preset in a memory (slot 0 to 3: North, East, South, West): the slot takes
    // the record and its own copy of the preset's values.
    void setSnapshot(const PresetMapRecord* record, int slot);

    void buttonClicked(juce::Button* button) override;
    void mouseDown(const juce::MouseEvent& e) override;
    void mouseDrag(const juce::MouseEvent& e) override;
    void mouseUp(const juce::MouseEvent& e) override;
    void paint(juce::Graphics& g) override;
    void resized() override;

    // Puts the report on the clipboard; nothing shows on screen.
    void copySnapshotDistancesToClipboard();

    juce::Label& getLabel(int slot) { return *labels_[static_cast<size_t>(slot)]; }
    PresetMapButton& getButton(int slot) { return *buttons_[static_cast<size_t>(slot)]; }

private:
    ISoundmapSupportBase& support_;
    std::array<std::unique_ptr<juce::Label>, kMorphSlots> labels_;
    std::array<std::unique_ptr<PresetMapButton>, kMorphSlots> buttons_;
    juce::Image background_;
};

} // namespace corvex
