// A program's "Characteristics" as three choice boxes edit them: what the boxes choose, and how a preset's
// values move from what it had to what was chosen.
#pragma once

#include <juce_core/juce_core.h>

namespace corvex {

class MorvanePreset;

namespace characteristics {

constexpr const char* kKey = "Characteristics";
// The first item of every box: no characteristic.
constexpr const char* kNone = "None";

// The boxes' texts in box order, without "None", blanks and repeats (compared ignoring case).
juce::StringArray chosen(const juce::StringArray& boxTexts);

// The values to take off and to put on a preset that held `previous` so that it holds what `chosen` chose.
// A value chosen again stays where it was; a previous value differing only in case is replaced.
struct Edit {
    juce::StringArray removed;
    juce::StringArray added;
};
Edit editFrom(const juce::StringArray& previous, const juce::StringArray& chosen);

// What a preset holding `previous` holds after the edit, in its order.
juce::StringArray afterEdit(const juce::StringArray& previous, const Edit& edit);

// One notifying attribute change per value, so the preset is marked modified and the pages hear of it.
void applyEdit(MorvanePreset& preset, const Edit& edit);

} // namespace characteristics
} // namespace corvex
