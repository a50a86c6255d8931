// The map's filter by instrument type: a tick box and the map's icon for each of the twelve types, and one
// all/none key. Every change of the set of types shown is broadcast.
#pragma once

#include <array>
#include <memory>

#include <juce_gui_basics/juce_gui_basics.h>

#include "presetmap/InstrumentType.h"
#include "presetmap/view/PresetMapButton.h"

namespace corvex {

class CInstSelectorComponent : public juce::Component, public juce::ChangeBroadcaster, public juce::Button::Listener {
public:
    CInstSelectorComponent();
    ~CInstSelectorComponent() override;

    void paint(juce::Graphics& g) override;
    void resized() override;
    void buttonClicked(juce::Button* button) override;

    // Bit t set: type t shown.
    int getTypeMask() const { return typeMask_; }
    // What a click on the tick box of a type does; Shift leaves that type alone.
    void setTypeVisible(int type, bool shown, bool shift);

    juce::ToggleButton& getToggle(int type) { return *toggles_[static_cast<size_t>(type)]; }
    juce::ImageButton& getAllButton() { return *all_; }
    juce::ImageButton& getNoneButton() { return *none_; }

private:
    void updateToggles();
    void typeMaskChanged(int mask);

    int typeMask_ = kAllInstrumentTypes;
    std::unique_ptr<juce::ImageButton> all_;
    std::unique_ptr<juce::ImageButton> none_;
    std::array<std::unique_ptr<juce::ToggleButton>, kInstrumentTypeCount> toggles_;
    std::array<std::unique_ptr<PresetMapButton>, kInstrumentTypeCount> icons_;
};

} // namespace corvex
