// The patches: ".cvm" files that combine two programs, found by their own attributes and by their programs'.
#pragma once

#include "presets/CorvanProgramManager.h"

namespace corvex {

class CorvanMultiManager : public MorvanePresetManager {
public:
    // Scans the banks at once. programs must outlive this manager.
    CorvanMultiManager(const MorvaneFindFolder& folder, CorvanProgramManager& programs);

    static MorvaneAttributeKeyRegistry makeRegistry();

    void getIndexedKeys(juce::StringArray& keys) override;
    void getUsedAttributeValues(const juce::String& key, juce::StringArray& values) override;
    MorvanePreset* getDefaultPreset() override;
    void rebuildIndex() override;
    void findPresetsWithAttribute(const juce::String& key, const juce::String& value,
                                  std::set<juce::String>& names) override;

    // True when the patches name the program at least twice in all, "Program1" and "Program2" counted apart.
    bool isProgramUsed(const MorvanePreset* program);
    // Display names of the patches naming the program, in identifier order, exceptPatch left out.
    juce::StringArray getPatchesUsingProgram(const MorvanePreset* program, const MorvanePreset* exceptPatch);
    juce::String makeUniqueProjectName(const juce::String& name);

    CorvanProgramManager& getProgramManager() const { return programs_; }

protected:
    // Patches index their programs' values too, so a program changed since the last rebuild makes it stale.
    bool isIndexStale() const override;

private:
    CorvanProgramManager& programs_;
    uint64_t programChangesAtRebuild_ = 0;
};

} // namespace corvex
