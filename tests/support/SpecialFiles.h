// Files that only look like files: a FIFO that holds a reader in open(), a link to a device without end.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <juce_core/juce_core.h>

namespace corvex::testing {

// A FIFO at file: a reader that opens it to read waits until a writer comes, unless it asks not to.
inline bool makeFifo(const juce::File& file) {
    file.getParentDirectory().createDirectory();
    return ::mkfifo(file.getFullPathName().toRawUTF8(), 0644) == 0;
}

// Frees a reader stuck opening the FIFO: a writer comes and goes at once, and the reader sees the end.
inline void releaseFifoReaders(const juce::File& fifo) {
    const int fd = ::open(fifo.getFullPathName().toRawUTF8(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0)
        ::close(fd);
}

inline bool makeSymlink(const juce::File& link, const char* target) {
    link.getParentDirectory().createDirectory();
    return ::symlink(target, link.getFullPathName().toRawUTF8()) == 0;
}

} // namespace corvex::testing
