// Files from disk are read only when they are regular files, and never past a bound.
#include "instrument/SafeFileRead.h"

#include <algorithm>
#include <cerrno>
#include <limits>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace corvex {

namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

FileRead::Status statusOfErrno() {
    return errno == ENOENT || errno == ENOTDIR ? FileRead::kMissing : FileRead::kFailed;
}

// Reads up to want bytes; the buffer starts at the size the file claims and grows only as bytes arrive. A
// file claiming more than refuseAbove bytes is not read at all.
FileRead readUpTo(const juce::File& file, int64_t want, int64_t refuseAbove) {
    FileRead result;
    const juce::String path = file.getFullPathName();
    struct stat info {};
    // Checked before opening, so that no device is ever opened; and again on what was opened, in case the
    // path was replaced in between. O_NONBLOCK keeps open() from waiting for a FIFO's writer.
    if (path.isEmpty() || ::stat(path.toRawUTF8(), &info) != 0) {
        result.status = path.isEmpty() ? FileRead::kMissing : statusOfErrno();
        return result;
    }
    if (!S_ISREG(info.st_mode)) {
        result.status = FileRead::kNotRegular;
        return result;
    }
    const FileDescriptor fd(::open(path.toRawUTF8(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0) {
        result.status = statusOfErrno();
        return result;
    }
    if (::fstat(fd.get(), &info) != 0) {
        result.status = FileRead::kFailed;
        return result;
    }
    if (!S_ISREG(info.st_mode)) {
        result.status = FileRead::kNotRegular;
        return result;
    }
    if (info.st_size > refuseAbove) {
        result.status = FileRead::kTooLarge;
        return result;
    }

    constexpr int64_t kFirstBlock = 4096;
    int64_t size = std::min<int64_t>(want, std::max<int64_t>(kFirstBlock, info.st_size + 1));
    result.bytes.setSize(static_cast<size_t>(size));
    int64_t done = 0;
    while (done < want) {
        if (done == size) {
            size = std::min(want, size * 2);
            result.bytes.setSize(static_cast<size_t>(size));
        }
        auto* data = static_cast<char*>(result.bytes.getData());
        const ssize_t n = ::read(fd.get(), data + done, static_cast<size_t>(std::min<int64_t>(size - done, 1 << 20)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            result.status = FileRead::kFailed;
            result.bytes.reset();
            return result;
        }
        if (n == 0)
            break;
        done += n;
    }
    result.bytes.setSize(static_cast<size_t>(done));
    result.status = FileRead::kRead;
    return result;
}

} // namespace

const char* whyUnread(FileRead::Status status) {
    switch (status) {
    case FileRead::kRead: return "was read";
    case FileRead::kMissing: return "does not exist";
    case FileRead::kNotRegular: return "is not a regular file";
    case FileRead::kTooLarge: return "is too large";
    case FileRead::kFailed: break;
    }
    return "cannot be read";
}

bool isRegularFile(const juce::File& file) {
    struct stat info {};
    return file.getFullPathName().isNotEmpty() && ::stat(file.getFullPathName().toRawUTF8(), &info) == 0 &&
           S_ISREG(info.st_mode);
}

FileRead readRegularFile(const juce::File& file, int64_t limit) {
    // One byte past the limit tells a file that is too large from one that just fits, when its size says less
    // than it holds (files under /proc say 0).
    FileRead result = readUpTo(file, limit + 1, limit);
    if (result.status == FileRead::kRead && static_cast<int64_t>(result.bytes.getSize()) > limit) {
        result.status = FileRead::kTooLarge;
        result.bytes.reset();
    }
    return result;
}

FileRead readRegularFileStart(const juce::File& file, int64_t limit) {
    return readUpTo(file, limit, std::numeric_limits<int64_t>::max());
}

} // namespace corvex
