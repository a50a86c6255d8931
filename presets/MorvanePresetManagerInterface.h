// What a preset asks of the manager that owns it: where to report its changes, and how its keys behave.
#pragma once

#include <juce_core/juce_core.h>

namespace corvex {

class MorvanePreset;

class MorvanePresetManagerInterface {
public:
    virtual ~MorvanePresetManagerInterface() = default;

    virtual void presetChanged(MorvanePreset* preset) = 0;
    virtual void presetRenamed(MorvanePreset* preset) = 0;
    virtual void presetSaved(MorvanePreset* preset) = 0;
    virtual void presetLoaded(MorvanePreset* preset) = 0;
    virtual void presetReverted(MorvanePreset* preset) = 0;
    virtual bool isAttributeMultiValued(const juce::String& key) = 0;
    // True for keys nobody registered: what a header brought in is written back.
    virtual bool isAttributeStored(const juce::String& key) = 0;
    // A new identifier must not collide with one the manager holds already (a file may carry an id from a
    // clock that ran ahead); a manager that indexes presets answers it.
    virtual bool isIdentifierInUse(const juce::String& /*identifier*/) { return false; }
};

} // namespace corvex
