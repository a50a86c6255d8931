// Files the user keeps are replaced whole: written beside the target, then renamed over it.
#include "presets/SafeFileWrite.h"

#include <cerrno>
#include <cstdio>
#include <iostream>

#include <fcntl.h>
#include <unistd.h>

namespace corvex {

namespace {

// Plain POSIX calls: JUCE's buffered stream drops the result of a short write when it flushes, and a disk
// that fills up halfway must not pass for a complete file.
bool writeWholeFile(const juce::File& file, const void* data, size_t size) {
    const int fd = ::open(file.getFullPathName().toRawUTF8(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const auto* p = static_cast<const char*>(data);
    bool ok = true;
    while (ok && size > 0) {
        const ssize_t n = ::write(fd, p, size);
        if (n < 0 && errno == EINTR)
            continue;
        ok = n > 0;
        if (ok) {
            p += n;
            size -= static_cast<size_t>(n);
        }
    }
    ok = ok && ::fsync(fd) == 0;
    return ::close(fd) == 0 && ok;
}

} // namespace

bool replaceFileSafely(const juce::File& target, const void* data, size_t size) {
    const juce::File folder = target.getParentDirectory();
    const juce::Result made = folder.createDirectory();
    if (made.failed()) {
        std::cerr << "Cannot create folder " << folder.getFullPathName() << ": " << made.getErrorMessage()
                  << "\n";
        return false;
    }
    // Hidden and with its own extension, so that a scan of the bank never takes a half-written file for a preset.
    const juce::File temp = folder.getNonexistentChildFile("." + target.getFileName(), ".tmp", false);
    const bool written = writeWholeFile(temp, data, size);
    if (!written) {
        std::cerr << "Cannot write " << temp.getFullPathName() << "\n";
        temp.deleteFile();
        return false;
    }
    // rename() replaces the target in one step; JUCE's move falls back to delete-then-copy, which could lose
    // the old file.
    if (std::rename(temp.getFullPathName().toRawUTF8(), target.getFullPathName().toRawUTF8()) != 0) {
        std::cerr << "Cannot replace " << target.getFullPathName() << "\n";
        temp.deleteFile();
        return false;
    }
    return true;
}

} // namespace corvex
