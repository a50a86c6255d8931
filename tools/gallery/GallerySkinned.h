// The gallery's section of skinned front-panel widgets, the keyboard and the split marker.
#pragma once

#include <memory>

#include <juce_gui_basics/juce_gui_basics.h>

namespace corvex {

class MVGuiInterface;

// A component of kSkinnedSectionWidth x kSkinnedSectionHeight holding one of each skinned widget at a few
// values, the keyboard with a chord lit and the split marker shown; the caller owns it and places it.
inline constexpr int kSkinnedSectionWidth = 820;
inline constexpr int kSkinnedSectionHeight = 330;
std::unique_ptr<juce::Component> createSkinnedSection(MVGuiInterface* gui);

} // namespace corvex
