// "presetCache.dat", which the preset map reads when the browser opens: every record taken is one the map can
// draw, and writing the records again reads back to the same records.
#include <cmath>
#include <cstdlib>

#include "fuzz/FuzzSupport.h"
#include "presetmap/InstrumentType.h"
#include "presetmap/PresetMapCache.h"

using namespace corvex;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const juce::File folder = fuzz::freshFolder("preset-map");
    const juce::File cache = folder.getChildFile("presetCache.dat");
    fuzz::writeInput(cache, data, size);

    PresetMapRecords records;
    if (readPresetMapCache(cache.getFullPathName().toStdString(), records) != PresetCacheRead::kRead) {
        if (!records.empty()) std::abort();
        return 0;
    }
    for (const PresetMapRecord& record : records) {
        if (record.key < 1 || record.type < 0 || record.type >= kInstrumentTypeCount) std::abort();
        if (!std::isfinite(record.x) || !std::isfinite(record.y)) std::abort();
        if (record.name[PresetMapRecord::kTextBytes - 1] != 0 || record.author[PresetMapRecord::kTextBytes - 1] != 0)
            std::abort();
    }
    const juce::File written = folder.getChildFile("written.dat");
    if (!writePresetMapCache(written.getFullPathName().toStdString(), records)) std::abort();
    PresetMapRecords again;
    if (readPresetMapCache(written.getFullPathName().toStdString(), again) != PresetCacheRead::kRead) std::abort();
    if (again != records) std::abort();
    return 0;
}
