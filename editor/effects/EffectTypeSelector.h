// The effect type selectors: a discrete parameter whose step is the type of an insert chain or of a master-effect
// slot, with the names the effect lists show for each type.
#pragma once

#include <cmath>

#include <juce_core/juce_core.h>

namespace corvex::effecttypes {

constexpr int kInsertTypeCount = 6;
constexpr int kMasterTypeCount = 5;

// Type 0 of either list is no effect.
inline const juce::StringArray& insertEffectNames() {
    static const juce::StringArray names{"No Effect", "Chorus/Flanger", "Distortion", "Param EQ", "Phaser", "Ring Mod"};
    return names;
}

inline const juce::StringArray& masterEffectNames() {
    static const juce::StringArray names{"No Effect", "St. Chorus/Flanger", "St. Delay", "St. Fx Reverb",
                                         "St. Phaser"};
    return names;
}

// The step a selector value falls in; anything outside 0..1 (or not a number) takes the nearest type.
inline int typeOfValue(float value, int typeCount) {
    if (typeCount <= 0 || std::isnan(value)) return 0;
    const float step = std::trunc(static_cast<float>(typeCount) * value);
    if (step <= 0.0f) return 0;
    if (step >= static_cast<float>(typeCount - 1)) return typeCount - 1;
    return static_cast<int>(step);
}

// The centre of a type's step, so that it reads back as the same type whatever the rounding on the way.
inline float valueOfType(int type, int typeCount) {
    return (static_cast<float>(type) + 0.5f) / static_cast<float>(typeCount);
}

} // namespace corvex::effecttypes
