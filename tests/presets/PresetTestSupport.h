// Fakes and file helpers shared by the preset tests: an owner that records what it is told, a chunk
// interface with fixed bytes, a temporary bank root, and zlib used directly to unpack payloads.
#pragma once

#include <csignal>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <juce_core/juce_core.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include "presets/MorvanePreset.h"
#include "tests/support/SpecialFiles.h"

namespace corvex::testing {

struct FakeOwner : MorvanePresetManagerInterface {
    std::vector<std::string> calls;
    std::set<juce::String> multiValued{"Characteristics"};
    std::set<juce::String> notStored{"Fact_User", "Demo"};
    std::set<juce::String> inUse;

    void presetChanged(MorvanePreset*) override { calls.push_back("changed"); }
    void presetRenamed(MorvanePreset*) override { calls.push_back("renamed"); }
    void presetSaved(MorvanePreset*) override { calls.push_back("saved"); }
    void presetLoaded(MorvanePreset*) override { calls.push_back("loaded"); }
    void presetReverted(MorvanePreset*) override { calls.push_back("reverted"); }
    bool isAttributeMultiValued(const juce::String& key) override { return multiValued.count(key) != 0; }
    bool isAttributeStored(const juce::String& key) override { return notStored.count(key) == 0; }
    bool isIdentifierInUse(const juce::String& id) override { return inUse.count(id) != 0; }
};

struct FakeChunks : MorvanePresetChunkInterface {
    std::vector<uint8_t> toWrite;
    std::vector<std::vector<uint8_t>> reads;
    bool accept = true;

    bool read(const uint8_t* data, size_t size) override {
        reads.emplace_back(data, data + size);
        return accept;
    }
    bool check(const uint8_t*, size_t) override { return accept; }
    void write(std::vector<uint8_t>& out) override { out.insert(out.end(), toWrite.begin(), toWrite.end()); }
};

// A chunk stream's worth of bytes that compresses well but not to nothing.
inline std::vector<uint8_t> sampleChunkBytes(size_t size = 3000) {
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<uint8_t>((i * 7) ^ (i >> 5));
    return bytes;
}

class TempFolder {
public:
    TempFolder() : root_(juce::File::createTempFile("presets-test")) { root_.createDirectory(); }
    ~TempFolder() { root_.deleteRecursively(); }
    const juce::File& root() const { return root_; }

private:
    juce::File root_;
};

inline std::vector<uint8_t> readBytes(const juce::File& file) {
    juce::MemoryBlock block;
    file.loadFileAsData(block);
    const auto* p = static_cast<const uint8_t*>(block.getData());
    return std::vector<uint8_t>(p, p + block.getSize());
}

inline void writeBytes(const juce::File& file, const std::vector<uint8_t>& bytes) {
    file.getParentDirectory().createDirectory();
    // JUCE deletes the file when asked to write no bytes.
    if (bytes.empty())
        file.deleteFile(), file.create();
    else
        file.replaceWithData(bytes.data(), bytes.size());
}

inline int32_t int32At(const std::vector<uint8_t>& bytes, size_t offset) {
    return static_cast<int32_t>(uint32_t(bytes[offset]) | uint32_t(bytes[offset + 1]) << 8 |
                                uint32_t(bytes[offset + 2]) << 16 | uint32_t(bytes[offset + 3]) << 24);
}

inline void appendInt32(std::vector<uint8_t>& out, int32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<uint8_t>(static_cast<uint32_t>(value) >> shift));
}

inline void appendText(std::vector<uint8_t>& out, const std::string& text, bool withZero = true) {
    out.insert(out.end(), text.begin(), text.end());
    if (withZero)
        out.push_back(0);
}

inline std::vector<uint8_t> zlibInflate(const uint8_t* data, size_t size, size_t expected) {
    std::vector<uint8_t> out(expected + 16);
    uLongf length = static_cast<uLongf>(out.size());
    if (uncompress(out.data(), &length, data, static_cast<uLong>(size)) != Z_OK)
        return {};
    out.resize(length);
    return out;
}

inline std::vector<uint8_t> zlibDeflate(const std::vector<uint8_t>& plain, int level = 6) {
    uLongf size = compressBound(static_cast<uLong>(plain.size()));
    std::vector<uint8_t> out(size);
    compress2(out.data(), &size, plain.data(), static_cast<uLong>(plain.size()), level);
    out.resize(size);
    return out;
}

// A complete preset file put together by hand, as another writer of the format would.
inline std::vector<uint8_t> handMadeFile(const std::string& header, int32_t flags, const std::vector<uint8_t>& payload) {
    std::vector<uint8_t> out;
    appendText(out, "XML");
    appendInt32(out, static_cast<int32_t>(header.size() + 1));
    appendText(out, header);
    appendText(out, "DATA");
    appendInt32(out, flags);
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

// The process's peak resident memory in kB (-1 where /proc cannot tell), and its reset to the present
// resident size (false where the kernel does not allow it): what a call read into memory shows in between.
inline long peakResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}

inline bool resetPeakResident() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5" << std::flush;
    return clear.good() && peakResidentKb() >= 0;
}

// Caps the size of files this process may write, so that a write fails as on a full disk (root ignores
// folder permissions, so they cannot make a write fail). The cap holds for every file, the one behind a
// captured stderr too, and a refused write would leave std::cerr failed for the rest of the process: what
// std::cerr receives meanwhile is held in memory and written out once the cap is lifted (a capture of stderr
// starts before the limit and is read after it).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) : stderrBuffer_(std::cerr.rdbuf(held_.rdbuf())) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_);
        std::cerr.rdbuf(stderrBuffer_);
        std::cerr.clear();
        std::cerr << held_.str() << std::flush;
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    std::ostringstream held_;
    std::streambuf* stderrBuffer_;
    rlimit saved_{};
    void (*previous_)(int) = nullptr;
};

} // namespace corvex::testing
