#include "instrument/state/CacheEntries.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "instrument/params/ByteStream.h"
#include "instrument/params/ParameterIndex.h"
#include "instrument/params/ParameterMapper.h"
#include "instrument/state/ChunkStream.h"

namespace corvex {

namespace {

// A normalised value, or the re-read signal that a row with nothing to give saves. The entry points once
// cached values past 0..1 and presets were saved with them: those within a range's width of it load
// clamped. Further out the payload is damaged.
constexpr float kSavedPastTheRange = 1.0f;
bool usableValue(float v) {
    return std::isfinite(v) && ((v >= -kSavedPastTheRange && v <= 1.0f + kSavedPastTheRange) ||
                                v == ParameterMapper::kUseCachedValue);
}

template <typename IndexCheck>
bool checkEntries(const std::vector<uint8_t>& payload, const char* name, IndexCheck indexFits) {
    ByteReader in(payload);
    for (int entry = 0; !in.exhausted(); ++entry) {
        int32_t index = 0;
        std::string key;
        float value = 0.0f;
        const char* fault = nullptr;
        if (!in.readInt32(index) || !in.readString(key) || !in.readFloat(value))
            fault = "cut short";
        else if (!indexFits(index))
            fault = "index out of range";
        else if (key.empty())
            fault = "empty key";
        else if (!usableValue(value))
            fault = "bad value";
        if (fault != nullptr) {
            std::fprintf(stderr, "Chunk Reader : '%s' entry %d %s\n", name, entry, fault);
            return false;
        }
    }
    return true;
}

constexpr int32_t kFormatVersion = 2;

} // namespace

void writeInfoChunk(ChunksWriter& writer) {
    ByteWriter w(writer.payload());
    w.writeString("version");
    w.writeInt32(kFormatVersion);
    writer.closeChunk(ChunkId::kInfo);
}

bool readInfoVersion(const std::vector<uint8_t>& payload, int& version) {
    ByteReader in(payload);
    std::string text;
    if (!in.readString(text)) {
        std::fprintf(stderr, "Chunk Reader : 'info' text not terminated\n");
        return false;
    }
    if (text == "version") {
        int32_t v = 0;
        version = in.readInt32(v) ? v : 0;
    }
    return true;
}

bool checkLayerCache(const std::vector<uint8_t>& payload) {
    return checkEntries(payload, "cach", [](int32_t i) { return ParameterIndex::layerOf(i) == 0; });
}

bool checkGlobalCache(const std::vector<uint8_t>& payload) {
    return checkEntries(payload, "cmul",
                        [](int32_t i) { return ParameterIndex::isValid(i) && ParameterIndex::layerOf(i) == -1; });
}

} // namespace corvex
