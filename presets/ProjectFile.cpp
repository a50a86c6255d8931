// Project files: the two sections as the filter managers write and read them, inside one zlib stream.
#include "presets/ProjectFile.h"

#include <iostream>

#include "presets/CorvanMultiFilterManager.h"
#include "presets/PresetPayload.h"

namespace corvex {

namespace projectfile {

bool isPlainProjectName(const juce::String& name) {
    if (name.trim().isEmpty() || name.length() > 128 || name.startsWithChar('.') || name.containsAnyOf("/\\"))
        return false;
    for (auto p = name.getCharPointer(); !p.isEmpty(); ++p)
        if (*p < 0x20 || *p == 0x7F)
            return false;
    return true;
}

std::optional<juce::MemoryBlock> pack(CorvanMultiFilterManager& patches, const juce::String& project) {
    juce::MemoryOutputStream packed;
    bool written = false;
    {
        // zlib's own format (window bits 15), at its default level; the stream is finished when it is deleted.
        juce::GZIPCompressorOutputStream zlib(packed, -1);
        written = patches.saveState(patches.getUserPresetNames(CorvanMultiFilterManager::kProjectKey, project), zlib);
    }
    if (!written) {
        std::cerr << "Project \"" << project << "\": a preset's file cannot be read, not exported\n";
        return std::nullopt;
    }
    return packed.getMemoryBlock();
}

bool import(CorvanMultiFilterManager& patches, const void* data, size_t size, const juce::String& project) {
    PayloadFault fault = PayloadFault::kDamaged;
    const std::optional<std::vector<uint8_t>> plain = decompressPayload(static_cast<const uint8_t*>(data), size, &fault);
    if (!plain) {
        std::cerr << "Project file: " << (fault == PayloadFault::kTooLarge ? "unpacks too large" : "not a whole zlib stream")
                  << ", nothing imported\n";
        return false;
    }
    juce::MemoryInputStream sections(plain->data(), plain->size(), false);
    return patches.importProject(sections, project);
}

} // namespace projectfile

} // namespace corvex
