// Files the user keeps are replaced whole: written beside the target, then renamed over it.
#pragma once

#include <cstddef>

#include <juce_core/juce_core.h>

namespace corvex {

// Creates the missing folders, writes the bytes to a temporary sibling, flushes it to disk and renames it over
// the target. False, with a message on stderr and the old file as it was, when any step fails.
bool replaceFileSafely(const juce::File& target, const void* data, size_t size);

inline bool replaceFileSafely(const juce::File& target, const juce::MemoryBlock& bytes) {
    return replaceFileSafely(target, bytes.getData(), bytes.getSize());
}

} // namespace corvex
