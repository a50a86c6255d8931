// The numbered preferred-preset slots of one preset manager, kept in "prefered_preset_<kind>.prefs".
#pragma once

#include <juce_core/juce_core.h>

#include "instrument/MorvaneFindFolder.h"

namespace corvex {

class MorvanePreferedPresetManager {
public:
    // Reads the kind's file from the settings folder; a missing or unreadable file gives an empty list.
    explicit MorvanePreferedPresetManager(int kind, const MorvaneFindFolder& folder = MorvaneFindFolder::getInstance());
    virtual ~MorvanePreferedPresetManager() = default;

    // Sets the slot (filling the gap below it with empty slots) and rewrites the file; a negative index sets
    // nothing yet still rewrites. True when the file was written.
    bool save(int index, const juce::String& identifier);
    // Every slot holding exactly identifier, ascending.
    juce::Array<int> findName(const juce::String& identifier) const;
    juce::String getName(int index) const;
    int getNumSlots() const { return names_.size(); }
    const juce::File& getFile() const { return file_; }

private:
    void read();

    juce::File file_;
    juce::StringArray names_;
};

} // namespace corvex
