// A project file: the patch section and the program section back to back, packed into one zlib stream.
// Project files travel between users: a file is unpacked within a bound and imported whole or not at all.
#pragma once

#include <optional>

#include <juce_core/juce_core.h>

namespace corvex {

class CorvanMultiFilterManager;

namespace projectfile {

constexpr const char* kExtension = ".cve";
// Unpacked, the two sections are bounded as a preset payload is; packed, they are no larger.
constexpr juce::int64 kMaxFileBytes = 64 << 20;

// Whether a name can be a project's and its folder's in the User bank: not blank, no path separator or
// control character, not hidden (a leading '.'), and short enough for a file name.
bool isPlainProjectName(const juce::String& name);

// The project's user patches and the user programs they play, packed; nothing, with a line on stderr, when
// one of their files cannot be read, since a file missing a preset could never be imported.
std::optional<juce::MemoryBlock> pack(CorvanMultiFilterManager& patches, const juce::String& project);

// Unpacks a project file and imports it under the project name (made unique). False, with the library as it
// was, for data that is not one complete zlib stream, unpacks past the bound or holds a damaged section.
bool import(CorvanMultiFilterManager& patches, const void* data, size_t size, const juce::String& project);

} // namespace projectfile

} // namespace corvex
