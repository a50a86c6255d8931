// The preset file: "XML\0", the header length, the one-line XML header, "DATA\0", a flags word and the payload.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include <juce_core/juce_core.h>

namespace corvex {

namespace presetfile {

constexpr int32_t kCompressedFlag = 1;
// Headers are a few hundred bytes and payloads a few kilobytes: anything near these sizes is not ours.
constexpr int64_t kMaxHeaderBytes = 1 << 20;
constexpr int64_t kMaxFileBytes = 64 << 20;

using Attributes = std::multimap<juce::String, juce::String>;

struct Header {
    bool hasPresetId = false;
    juce::String identifier;
    juce::String name;
    std::vector<std::pair<juce::String, juce::String>> pairs;
};

// The header text in UTF-8 with its terminating zero: only the pairs whose key isStored accepts.
juce::MemoryBlock buildHeaderText(const juce::String& typeName, const juce::String& identifier,
                                  const juce::String& name, const Attributes& attributes,
                                  const std::function<bool(const juce::String&)>& isStored);

// Everything up to and including "DATA\0", followed by tail (the flags word and the payload).
juce::MemoryBlock buildFile(const juce::MemoryBlock& headerText, const void* tail, size_t tailSize);

// Reads "XML\0" and the length, then the header text, refusing a length that the stream cannot hold.
// Failures name the file on stderr.
std::optional<juce::MemoryBlock> readHeaderText(juce::InputStream& in, const juce::File& file);
std::optional<Header> parseHeaderText(const juce::MemoryBlock& text, const juce::String& typeName,
                                      const juce::File& file);
bool readDataMarker(juce::InputStream& in, const juce::File& file);

// The whole file, refused when it is no regular file or larger than any preset file can be.
std::optional<juce::MemoryBlock> readWholeFile(const juce::File& file);
// The start of the file, as much as the longest header needs; refused, without a message for a missing file,
// like readWholeFile.
std::optional<juce::MemoryBlock> readFileStart(const juce::File& file);

} // namespace presetfile

} // namespace corvex
