// One patch on the map, as the builder makes it and the cache file keeps it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace corvex {

class ISoundmapSupportBase;

struct PresetMapRecord {
    static constexpr size_t kTextBytes = 24;

    int64_t key = 0;
    int32_t type = 0; // 0 to 11
    float x = 0.0f;   // background-image pixels, 0 to 1023 inside the image
    float y = 0.0f;
    uint8_t flagA = 0;
    uint8_t flagB = 0;
    // UTF-8, zero-terminated: at most 23 bytes, cut before a character rather than through it.
    char name[kTextBytes] = {};
    char author[kTextBytes] = {};

    void setName(std::string_view text) { setText(name, text); }
    void setAuthor(std::string_view text) { setText(author, text); }
    std::string_view getName() const { return name; }
    std::string_view getAuthor() const { return author; }

    bool operator==(const PresetMapRecord& other) const;
    bool operator!=(const PresetMapRecord& other) const { return !(*this == other); }

private:
    static void setText(char (&field)[kTextBytes], std::string_view text);
};

using PresetMapRecords = std::vector<PresetMapRecord>;

// Key and type as given, both flags 0, the patch's name and author from the support; x and y come later.
PresetMapRecord buildMapRecord(ISoundmapSupportBase& support, int64_t key, int32_t type);

} // namespace corvex
