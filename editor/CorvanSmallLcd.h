// The small red display on the front panel: the current patch's Upper and Lower programs, one line each, and
// the switch of the layer the front panel edits (click a line to edit its layer). A Whole patch shows only its
// Upper line.
#pragma once

#include <memory>

#include "editor/CvnSmallLcdButton.h"
#include "presets/PresetFilterListeners.h"
#include "widgets/MVButtonGroup.h"
#include "widgets/MVPanel.h"

namespace corvex {

class CorvanMultiFilterManager;
class MorvanePreset;

// Message thread only. The patches must outlive the display.
class CorvanSmallLcd : public MVPanel, public MorvanePresetFilterManagerListener {
public:
    static constexpr int kLineWidth = 100;
    static constexpr int kLineHeight = 14;

    CorvanSmallLcd(MVGuiInterface* gui, CorvanMultiFilterManager* patches);
    ~CorvanSmallLcd() override;
    CorvanSmallLcd(const CorvanSmallLcd&) = delete;
    CorvanSmallLcd& operator=(const CorvanSmallLcd&) = delete;

    // A program's name, with "*" while it is modified.
    static juce::String displayName(const MorvanePreset* program);

    void refresh();
    void resized() override;
    void presetFilterChanged(int id, int value, int value2, void* pointer) override;

    CvnSmallLcdButton& getUpperLine() { return upper_; }
    CvnSmallLcdButton& getLowerLine() { return lower_; }

private:
    CorvanMultiFilterManager* const patches_;
    CvnSmallLcdButton upper_;
    CvnSmallLcdButton lower_;
    // After its buttons, so that it lets go of them before they go.
    std::unique_ptr<MVButtonGroup> layerGroup_;
};

} // namespace corvex
