// Presets of one kind taken from a project file's records into the project's user folder: every record is
// checked before the first file is written, and an import that fails half-way deletes what it made.
#pragma once

#include <map>
#include <vector>

#include <juce_core/juce_core.h>

#include "presets/ProjectSection.h"

namespace corvex {

class MorvanePreset;
class MorvanePresetChunkInterface;
class MorvanePresetManager;

class ProjectRecordImport {
public:
    // The part's chunk checks payloads; without one every payload passes.
    ProjectRecordImport(MorvanePresetManager& manager, MorvanePresetChunkInterface* chunk)
        : manager_(manager), chunk_(chunk) {}

    // Whether every record is a whole preset file of the manager's kind whose payload the part would take, as
    // a load would find it; nothing is written. A line on stderr names the first that is not.
    bool check(const std::vector<ProjectRecord>& records, const juce::String& projectName) const;
    // Every record, or none. oldToNew maps each record's identifier to the one its preset got.
    bool import(const std::vector<ProjectRecord>& records, const juce::String& projectName,
                juce::Array<MorvanePreset*>& created, std::map<juce::String, juce::String>& oldToNew) const;
    // Files included; the project folder goes too once nothing is left in it.
    void remove(const juce::Array<MorvanePreset*>& presets, const juce::String& projectName) const;

private:
    juce::File projectFolder(const juce::String& projectName) const;

    MorvanePresetManager& manager_;
    MorvanePresetChunkInterface* chunk_;
};

} // namespace corvex
