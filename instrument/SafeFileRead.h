// Files from disk are read only when they are regular files, and never past a bound: a FIFO or a device
// named like one of ours must neither hold the reader up nor feed it without end.
#pragma once

#include <cstdint>

#include <juce_core/juce_core.h>

namespace corvex {

struct FileRead {
    enum Status { kRead, kMissing, kNotRegular, kTooLarge, kFailed };
    Status status = kFailed;
    juce::MemoryBlock bytes;
};

// Why a read gave no bytes, as the end of a sentence about the file: "is not a regular file", ...
const char* whyUnread(FileRead::Status status);

// Whether the path names a regular file, following symbolic links; nothing is opened.
bool isRegularFile(const juce::File& file);

// The whole file, at most limit bytes: kTooLarge when it holds more, whatever its size claims.
FileRead readRegularFile(const juce::File& file, int64_t limit);
// The file's first limit bytes at most, however long it is.
FileRead readRegularFileStart(const juce::File& file, int64_t limit);

} // namespace corvex
