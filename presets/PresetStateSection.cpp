// Writing and reading a filter manager's host-state section, bounded against damaged states.
#include "presets/PresetStateSection.h"

#include <string>

#include "instrument/DiskString.h"
#include "presets/PresetFileFormat.h"

namespace corvex {

namespace statesection {

namespace {

// Panels use a handful of columns with a few dozen values each.
constexpr int32_t kMaxColumns = 256;
constexpr int32_t kMaxColumnValues = 4096;

void writeString(ByteWriter& w, const juce::String& text) { w.writeString(text.toStdString()); }

bool readString(ByteReader& in, juce::String& text) {
    std::string bytes;
    if (!in.readString(bytes))
        return false;
    text = stringFromDisk(bytes);
    return true;
}

// Grows with the words that actually arrive: a size that lies costs no more than the state holds.
bool readPayload(ByteReader& in, std::vector<uint8_t>& payload) {
    int32_t size = -1;
    if (!in.readInt32(size) || size < 0 || size > presetfile::kMaxFileBytes)
        return false;
    for (int32_t done = 0; done < size; done += 4) {
        int32_t word = 0;
        if (!in.readInt32(word))
            return false;
        for (int shift = 0; shift < 32 && static_cast<int32_t>(payload.size()) < size; shift += 8)
            payload.push_back(static_cast<uint8_t>(static_cast<uint32_t>(word) >> shift));
    }
    return true;
}

bool readColumn(ByteReader& in, int32_t& id, FilterColumn& column) {
    int32_t count = -1;
    if (!in.readInt32(id) || !readString(in, column.key) || !in.readInt32(count) || count < 0 ||
        count > kMaxColumnValues)
        return false;
    for (int32_t v = 0; v < count; ++v) {
        juce::String value;
        if (!readString(in, value))
            return false;
        column.values.add(value);
    }
    return true;
}

} // namespace

void write(const PresetStateSection& section, std::vector<uint8_t>& out) {
    ByteWriter w(out);
    writeString(w, section.identifier);
    // The payload goes with its size, so that a reader finds what follows without parsing the sound.
    // Padded to whole words: the state reader reads nothing smaller.
    const std::vector<uint8_t>& payload = section.payload;
    w.writeInt32(static_cast<int32_t>(payload.size()));
    out.insert(out.end(), payload.begin(), payload.end());
    out.resize(out.size() + (4 - payload.size() % 4) % 4, 0);
    w.writeInt32(static_cast<int32_t>(section.columns.size()));
    for (const auto& [id, column] : section.columns) {
        w.writeInt32(id);
        writeString(w, column.key);
        w.writeInt32(column.values.size());
        for (const juce::String& value : column.values)
            writeString(w, value);
    }
}

bool read(ByteReader& in, PresetStateSection& section) {
    std::vector<uint8_t> payload;
    if (!readString(in, section.identifier) || !readPayload(in, payload))
        return false;
    section.payload = std::move(payload);
    int32_t columns = -1;
    if (!in.readInt32(columns) || columns < 0 || columns > kMaxColumns)
        return false;
    for (int32_t c = 0; c < columns; ++c) {
        int32_t id = 0;
        FilterColumn column;
        if (!readColumn(in, id, column))
            return false;
        section.columns[id] = std::move(column);
    }
    return true;
}

} // namespace statesection

} // namespace corvex
