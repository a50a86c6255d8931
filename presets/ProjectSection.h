// One section of a project file: "PFM_start", the filter manager's id, a count of records {identifier, size,
// a preset file's bytes}, "PFM_end". Sections come from files users pass around: every field is bounded.
#pragma once

#include <optional>
#include <vector>

#include <juce_core/juce_core.h>

namespace corvex {

class MorvanePreset;

struct ProjectRecord {
    juce::String identifier;
    juce::MemoryBlock bytes;
};

namespace projectsection {

constexpr const char* kStartMarker = "PFM_start";
constexpr const char* kEndMarker = "PFM_end";
// A project holds a few hundred presets; identifiers are short.
constexpr int kMaxRecords = 100000;
constexpr int kMaxStringBytes = 1024;

// Writes a section of the presets, each as its whole file; false when a preset's file could not be read
// or the stream refused a write. The section is closed all the same.
bool write(juce::OutputStream& out, int id, const std::vector<const MorvanePreset*>& presets);

// Reads a whole section; nullopt, with a line on stderr, for a wrong marker or id, a count or size out of
// bounds, or a stream cut short. Record sizes are bounded by the largest preset file.
std::optional<std::vector<ProjectRecord>> read(juce::InputStream& in, int expectedId);

// A zero-terminated UTF-8 string of at most maxBytes bytes; nullopt when longer or cut short.
std::optional<juce::String> readBoundedString(juce::InputStream& in, int maxBytes);

} // namespace projectsection

} // namespace corvex
