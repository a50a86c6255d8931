#include "presetmap/PresetMapRecord.h"

#include <cstring>

#include "instrument/midi/Utf8Text.h"
#include "presetmap/ISoundmapSupportBase.h"

namespace corvex {

void PresetMapRecord::setText(char (&field)[kTextBytes], std::string_view text) {
    const std::string valid = validUtf8(text);
    std::string_view fits = utf8Prefix(valid, kTextBytes - 1);
    // A zero byte would end the text early anyway; keep what comes before it.
    fits = fits.substr(0, fits.find('\0'));
    std::memset(field, 0, kTextBytes);
    std::memcpy(field, fits.data(), fits.size());
}

bool PresetMapRecord::operator==(const PresetMapRecord& other) const {
    return key == other.key && type == other.type && x == other.x && y == other.y && flagA == other.flagA &&
           flagB == other.flagB && getName() == other.getName() && getAuthor() == other.getAuthor();
}

PresetMapRecord buildMapRecord(ISoundmapSupportBase& support, int64_t key, int32_t type) {
    PresetMapRecord record;
    record.key = key;
    record.type = type;
    record.setName(support.getPresetName(key));
    record.setAuthor(support.getPresetAuthor(key));
    return record;
}

} // namespace corvex
