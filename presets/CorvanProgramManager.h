// The programs: single-layer sounds in ".cvp" files, shared by the Lower and the Upper layer.
#pragma once

#include "presets/MorvanePresetManager.h"

namespace corvex {

class CorvanProgramManager : public MorvanePresetManager {
public:
    // Scans the banks at once.
    explicit CorvanProgramManager(const MorvaneFindFolder& folder);

    // The keys a program carries, before the bank keys every manager adds.
    static MorvaneAttributeKeyRegistry makeRegistry();
    static const juce::StringArray& typeValues();
    static const juce::StringArray& characteristicValues();
};

} // namespace corvex
