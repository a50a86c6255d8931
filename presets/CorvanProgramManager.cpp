// The programs: single-layer sounds in ".cvp" files, shared by the Lower and the Upper layer.
#include "presets/CorvanProgramManager.h"

namespace corvex {

namespace {

using Keys = MorvaneAttributeKeyRegistry;

} // namespace

const juce::StringArray& CorvanProgramManager::typeValues() {
    static const juce::StringArray values{"Bass",  "Brass", "Efx",        "Fm",    "Guitar",   "Lead",
                                          "Organ", "Pad",   "Percussive", "Piano", "Sequence", "Strings"};
    return values;
}

// "Agressive" is spelt as stored files and filters already carry it.
const juce::StringArray& CorvanProgramManager::characteristicValues() {
    static const juce::StringArray values{"Acid",  "Agressive", "Ambient", "Bizarre", "Bright", "Complex",
                                          "Dark",  "Digital",   "Ensemble", "Funky",  "Hard",   "Long",
                                          "Noise", "Quiet",     "Short",   "Simple",  "Soft",   "Soundtrack"};
    return values;
}

MorvaneAttributeKeyRegistry CorvanProgramManager::makeRegistry() {
    MorvaneAttributeKeyRegistry registry;
    registry.registerAttributeKey("Type", Keys::kFilterCategory | Keys::kStored, 0);
    for (const juce::String& value : typeValues())
        registry.addAttributeValue("Type", value);
    registry.registerAttributeKey("Characteristics", Keys::kMultiValued | Keys::kFilterCategory | Keys::kStored, 1);
    for (const juce::String& value : characteristicValues())
        registry.addAttributeValue("Characteristics", value);
    return registry;
}

CorvanProgramManager::CorvanProgramManager(const MorvaneFindFolder& folder) : MorvanePresetManager(0, folder) {
    initialise("CorvanProgram", ".cvp", "New_Prog", makeRegistry());
}

} // namespace corvex
