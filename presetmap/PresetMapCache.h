// "presetCache.dat": the map of the last rebuild, one text line per patch, so that opening the browser needs
// no rebuild. A line reads "key,type,x,y,flagA,flagB,name,author"; numbers are written and read the same way
// in every locale, and blanks, commas and '%' in the texts are written as "%XX" so that they read back.
#pragma once

#include <string>

#include "presetmap/PresetMapRecord.h"

namespace corvex {

// Larger than any library's cache (a line takes at most about 220 bytes); a larger file is not ours.
constexpr int64_t kMaxPresetCacheBytes = 16 * 1024 * 1024;
// Only the start of a line counts.
constexpr size_t kMaxPresetCacheLineBytes = 256;

// Replaces the file whole (temporary file, then rename), creating the folder when it is missing. False, with
// the old file left as it was, when it could not be written or the path is empty.
bool writePresetMapCache(const std::string& path, const PresetMapRecords& records);

// The lines of records as the file holds them.
std::string formatPresetMapCache(const PresetMapRecords& records);

enum class PresetCacheRead {
    kRead,    // every line was a record
    kMissing, // no file (or an empty path): the map stays empty until it is built
    kDamaged, // a line that is no record of ours, or no readable file: rebuild, never trust what was read
};

// An empty path leaves the list as it is. Otherwise the list holds the file's records when it reads kRead
// and is empty else; a damaged file is named on stderr.
PresetCacheRead readPresetMapCache(const std::string& path, PresetMapRecords& records);

// One line, without its line end: false for a line that is no record (too few fields, a type outside 0..11,
// a position that is not finite, a key below 1).
bool parsePresetMapLine(std::string_view line, PresetMapRecord& record);

} // namespace corvex
