// The patches: ".cvm" files that combine two programs, found by their own attributes and by their programs'.
#include "presets/CorvanMultiManager.h"

namespace corvex {

namespace {

using Keys = MorvaneAttributeKeyRegistry;

constexpr const char* kUpperProgramKey = "Program1";
constexpr const char* kLowerProgramKey = "Program2";
constexpr const char* kModeKey = "Mode";
constexpr const char* kProjectKey = "Project";

// A "Whole" patch plays only its Upper program; the Lower one it still names is not heard.
bool usesLowerProgram(const MorvanePreset& patch) { return patch.getAttribute(kModeKey) != "Whole"; }

} // namespace

MorvaneAttributeKeyRegistry CorvanMultiManager::makeRegistry() {
    MorvaneAttributeKeyRegistry registry;
    registry.registerAttributeKey(kProjectKey, Keys::kGatheredFromPresets | Keys::kFilterCategory | Keys::kStored, 0);
    registry.registerAttributeKey(kModeKey, Keys::kFilterCategory | Keys::kStored, Keys::kNoColumn);
    for (const char* mode : {"Whole", "Dual", "Split"})
        registry.addAttributeValue(kModeKey, mode);
    registry.registerAttributeKey("Type", Keys::kFilterCategory, 1);
    for (const juce::String& value : CorvanProgramManager::typeValues())
        registry.addAttributeValue("Type", value);
    registry.registerAttributeKey("Characteristics", Keys::kMultiValued | Keys::kFilterCategory, Keys::kNoColumn);
    for (const juce::String& value : CorvanProgramManager::characteristicValues())
        registry.addAttributeValue("Characteristics", value);
    registry.registerAttributeKey(kUpperProgramKey, Keys::kGatheredFromPresets | Keys::kStored, Keys::kNoColumn);
    registry.registerAttributeKey(kLowerProgramKey, Keys::kGatheredFromPresets | Keys::kStored, Keys::kNoColumn);
    return registry;
}

CorvanMultiManager::CorvanMultiManager(const MorvaneFindFolder& folder, CorvanProgramManager& programs)
    : MorvanePresetManager(1, folder), programs_(programs) {
    initialise("CorvanMulti", ".cvm", "New_Patch", makeRegistry());
    setSortValuesIgnoringCase(true);
}

bool CorvanMultiManager::isIndexStale() const {
    return MorvanePresetManager::isIndexStale() || programs_.getChangeCount() != programChangesAtRebuild_;
}

void CorvanMultiManager::rebuildIndex() {
    clearIndex();
    juce::StringArray keys;
    getAttributeKeys(keys);
    juce::StringArray values;
    for (const juce::String& key : keys) {
        ValueIndex& index = indexFor(key);
        const bool multiValued = getRegistry().isMultiValued(key);
        for (const auto& [identifier, patch] : getPresets()) {
            if (!multiValued) {
                addToIndex(index, patch->getAttribute(key), identifier);
                continue;
            }
            values.clearQuick();
            patch->getAttributeValues(key, values);
            programs_.getPresetByName(patch->getAttribute(kUpperProgramKey))->getAttributeValues(key, values);
            if (usesLowerProgram(*patch))
                programs_.getPresetByName(patch->getAttribute(kLowerProgramKey))->getAttributeValues(key, values);
            for (const juce::String& value : values)
                addToIndex(index, value, identifier);
        }
    }
    // Read after the walk: a default program made during it is part of what this index saw.
    programChangesAtRebuild_ = programs_.getChangeCount();
    finishIndex();
}

void CorvanMultiManager::getIndexedKeys(juce::StringArray& keys) {
    MorvanePresetManager::getIndexedKeys(keys);
    programs_.getIndexedKeys(keys);
}

void CorvanMultiManager::getUsedAttributeValues(const juce::String& key, juce::StringArray& values) {
    MorvanePresetManager::getUsedAttributeValues(key, values);
    if (key != MorvanePreset::kBankKey)
        programs_.getUsedAttributeValues(key, values);
}

MorvanePreset* CorvanMultiManager::getDefaultPreset() {
    if (MorvanePreset* patch = findPreset("Default"))
        return patch;
    std::unique_ptr<MorvanePreset> patch = buildDefaultPreset();
    const juce::String program = programs_.getDefaultPreset()->getIdentifier();
    patch->setAttribute(kLowerProgramKey, program, true);
    patch->setAttribute(kUpperProgramKey, program, true);
    patch->setAttribute(kModeKey, "Whole", true);
    patch->saveAttributes();
    return addPreset(std::move(patch), true);
}

void CorvanMultiManager::findPresetsWithAttribute(const juce::String& key, const juce::String& value,
                                                  std::set<juce::String>& names) {
    MorvanePresetManager::findPresetsWithAttribute(key, value, names);
    // The bank is where the patch file lies; its programs' banks say nothing about it.
    if (key == MorvanePreset::kBankKey)
        return;
    std::set<juce::String> programIds;
    programs_.findPresetsWithAttribute(key, value, programIds);
    ensureIndex();
    // The index of "Program1" and "Program2" maps each program to its patches: no walk over all patches.
    for (const juce::String& program : programIds) {
        if (const Identifiers* patches = findIdentifiers(kUpperProgramKey, program))
            names.insert(patches->begin(), patches->end());
        if (const Identifiers* patches = findIdentifiers(kLowerProgramKey, program))
            for (const juce::String& identifier : *patches)
                if (const MorvanePreset* patch = findPreset(identifier); patch != nullptr && usesLowerProgram(*patch))
                    names.insert(identifier);
    }
}

bool CorvanMultiManager::isProgramUsed(const MorvanePreset* program) {
    if (program == nullptr)
        return false;
    ensureIndex();
    size_t references = 0;
    for (const char* key : {kUpperProgramKey, kLowerProgramKey})
        if (const Identifiers* patches = findIdentifiers(key, program->getIdentifier()))
            references += patches->size();
    return references >= 2;
}

juce::StringArray CorvanMultiManager::getPatchesUsingProgram(const MorvanePreset* program,
                                                              const MorvanePreset* exceptPatch) {
    juce::StringArray names;
    if (program == nullptr)
        return names;
    ensureIndex();
    std::set<juce::String> identifiers;
    for (const char* key : {kUpperProgramKey, kLowerProgramKey})
        if (const Identifiers* patches = findIdentifiers(key, program->getIdentifier()))
            identifiers.insert(patches->begin(), patches->end());
    if (exceptPatch != nullptr)
        identifiers.erase(exceptPatch->getIdentifier());
    for (const juce::String& identifier : identifiers)
        if (const MorvanePreset* patch = findPreset(identifier))
            names.add(patch->getName());
    return names;
}

juce::String CorvanMultiManager::makeUniqueProjectName(const juce::String& name) {
    ensureIndex();
    juce::String candidate = name;
    for (int n = 2; findIdentifiers(kProjectKey, candidate) != nullptr; ++n)
        candidate = name + "_" + juce::String(n);
    return candidate;
}

} // namespace corvex
