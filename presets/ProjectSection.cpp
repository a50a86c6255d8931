// One section of a project file: written from the presets, read whole and bounded before anything of it is imported.
#include "presets/ProjectSection.h"

#include <iostream>

#include "instrument/DiskString.h"
#include "presets/MorvanePreset.h"
#include "presets/PresetFileFormat.h"

namespace corvex {

namespace projectsection {

std::optional<juce::String> readBoundedString(juce::InputStream& in, int maxBytes) {
    juce::MemoryOutputStream text;
    for (int n = 0; n <= maxBytes; ++n) {
        char c = 0;
        if (in.read(&c, 1) != 1)
            return std::nullopt;
        if (c == 0)
            return stringFromDisk(std::string_view(static_cast<const char*>(text.getData()), text.getDataSize()));
        text.writeByte(c);
    }
    return std::nullopt;
}

namespace {

std::nullopt_t fail(const char* what) {
    std::cerr << "Project section: " << what << ", nothing imported\n";
    return std::nullopt;
}

bool readInt(juce::InputStream& in, int& value) {
    char bytes[4] = {};
    if (in.read(bytes, 4) != 4)
        return false;
    value = static_cast<int>(juce::ByteOrder::littleEndianInt(bytes));
    return true;
}

// Grows with the data that actually arrives: a size that lies costs no more memory than the stream holds.
bool readBytes(juce::InputStream& in, int size, juce::MemoryBlock& out) {
    juce::MemoryOutputStream bytes(out, false);
    char buffer[65536];
    for (int done = 0; done < size;) {
        const int n = in.read(buffer, juce::jmin(size - done, static_cast<int>(sizeof buffer)));
        if (n <= 0)
            return false;
        bytes.write(buffer, static_cast<size_t>(n));
        done += n;
    }
    bytes.flush();
    return true;
}

} // namespace

bool write(juce::OutputStream& out, int id, const std::vector<const MorvanePreset*>& presets) {
    bool written =
        out.writeString(kStartMarker) && out.writeInt(id) && out.writeInt(static_cast<int>(presets.size()));
    for (const MorvanePreset* preset : presets)
        written = preset->writeFileToStream(out) && written;
    return out.writeString(kEndMarker) && written;
}

std::optional<std::vector<ProjectRecord>> read(juce::InputStream& in, int expectedId) {
    const std::optional<juce::String> start = readBoundedString(in, kMaxStringBytes);
    if (!start || *start != kStartMarker)
        return fail("no start marker");
    int id = -1;
    int count = -1;
    if (!readInt(in, id) || id != expectedId)
        return fail("wrong preset kind");
    // Each record takes at least its identifier's zero and its size.
    const juce::int64 remaining = in.getNumBytesRemaining();
    if (!readInt(in, count) || count < 0 || count > kMaxRecords || (remaining >= 0 && count > remaining / 5))
        return fail("record count out of bounds");
    std::vector<ProjectRecord> records(static_cast<size_t>(count));
    for (ProjectRecord& record : records) {
        const std::optional<juce::String> identifier = readBoundedString(in, kMaxStringBytes);
        int size = -1;
        if (!identifier || !readInt(in, size))
            return fail("record cut short");
        const juce::int64 left = in.getNumBytesRemaining();
        if (size < 0 || size > presetfile::kMaxFileBytes || (left >= 0 && size > left))
            return fail("record size out of bounds");
        record.identifier = *identifier;
        if (!readBytes(in, size, record.bytes))
            return fail("record cut short");
    }
    const std::optional<juce::String> end = readBoundedString(in, kMaxStringBytes);
    if (!end || *end != kEndMarker)
        return fail("no end marker");
    return records;
}

} // namespace projectsection

} // namespace corvex
