// What an edit in a properties panel does to the preset shown. Each writes at once into the preset in memory,
// which marks it modified; nothing reaches its file before a save.
#pragma once

#include <juce_core/juce_core.h>

#include "editor/ProgramCharacteristics.h"

namespace corvex {

class MorvanePreset;

namespace propertyedits {

constexpr const char* kTypeKey = "Type";
constexpr const char* kCharacteristicsKey = characteristics::kKey;
// The characteristic boxes' "no value".
constexpr const char* kNone = characteristics::kNone;

// The name, with "*" while the preset has unsaved changes.
juce::String displayName(const MorvanePreset& preset);

// False, with the preset as it was, for a blank or whitespace-only name: a preset never goes nameless.
bool rename(MorvanePreset& preset, const juce::String& typed);
// The patch's "Project"; false, with the patch as it was, for a blank one.
bool setProject(MorvanePreset& patch, const juce::String& typed);
void setType(MorvanePreset& program, const juce::String& type);
// chosen: the characteristic boxes' texts in box order. The program ends up with those values, each once and
// "None" meaning none, whatever it held before; values it keeps are not written again.
void setCharacteristics(MorvanePreset& program, const juce::StringArray& chosen);
// The program's characteristics as one line.
juce::String characteristicsText(const MorvanePreset& program);

} // namespace propertyedits

} // namespace corvex
