#include "presetmap/PresetMapBuilder.h"

#include <iostream>
#include <new>

#include "presetmap/ISoundmapSupportBase.h"
#include "presetmap/MapBackground.h"
#include "presetmap/scaling/CMDSScalerEngine.h"

namespace corvex {

namespace {

// The player's sound comes back however the walk ends.
class PlayerStateKeeper {
public:
    explicit PlayerStateKeeper(ISoundmapSupportBase& support) : support_(support) { support_.keepPlayerState(); }
    ~PlayerStateKeeper() { support_.restorePlayerState(); }
    PlayerStateKeeper(const PlayerStateKeeper&) = delete;
    PlayerStateKeeper& operator=(const PlayerStateKeeper&) = delete;

private:
    ISoundmapSupportBase& support_;
};

void appendScaled(std::vector<float>& feature, const std::vector<float>& values, float weight) {
    for (const float value : values) feature.push_back(value * weight);
}

} // namespace

void analysePresets(ISoundmapSupportBase& support, const MapWeights& weights, FeatureVectors& features,
                    PresetMapRecords& records) {
    const ProcessLockHolder lock(support.getProcessLock());
    features.clear();
    records.clear();
    support.refreshPresetKeys();
    const PlayerStateKeeper keeper(support);
    std::vector<float> section;
    for (int64_t key = support.getNextPresetKey(-1); key != -1;) {
        support.loadPreset(key);
        const int16_t type = support.getPresetType(key);
        std::vector<float> feature(kTypeSectionSize, 0.0f);
        if (type >= 0 && type < kTypeSectionSize) feature[static_cast<size_t>(type)] = weights.instrument * kTypeSectionScale;
        const PresetData data = support.buildPresetData();
        section.clear();
        support.getMatrixValues(section, data);
        appendScaled(feature, section, weights.matrix);
        section.clear();
        support.getWeightedParameterValues(section, data);
        appendScaled(feature, section, weights.parameters);
        features.push_back(std::move(feature));
        records.push_back(buildMapRecord(support, key, type >= 0 && type < kTypeSectionSize ? type : 0));

        // Keys rise along the walk; one that does not would walk for ever.
        const int64_t next = support.getNextPresetKey(key);
        if (next != -1 && next <= key) break;
        key = next;
    }
}

bool placeRecords(PresetMapRecords& records, const MapCoordinates& places) {
    if (places.size() != records.size()) {
        std::cerr << "Preset map : " << places.size() << " places for " << records.size()
                  << " patches, the map is left as it was\n";
        return false;
    }
    for (size_t n = 0; n < records.size(); ++n) {
        records[n].x = places[n].x;
        records[n].y = places[n].y;
    }
    return true;
}

bool writeMapCoordinates(PresetMapRecords& records, ISoundmapSupportBase& support, const MapCoordinates& places) {
    return placeRecords(records, places) && writePresetMapCache(support.getCacheFilePath(), records);
}

const char* PresetMapBuilder::stageText(int stage) {
    switch (stage) {
    case kAnalysing: return "Analysing all presets (1-2 min.)...";
    case kPlacing: return "Placing presets on map (~10 min.)...";
    case kBackground: return "Computing map background (~5 min.)...";
    default: return "Completed !";
    }
}

PresetMapBuilder::PresetMapBuilder(ISoundmapSupportBase& support, const MapWeights& weights,
                                   PresetMapBuildProgress* progress)
    : support_(support), weights_(weights), progress_(progress) {}

bool PresetMapBuilder::enterStage(int stage) {
    if (progress_ == nullptr) return true;
    if (progress_->threadShouldExit()) return false;
    progress_->setProgress(stage * 0.25);
    progress_->setStatusMessage(stageText(stage));
    return true;
}

bool PresetMapBuilder::run() {
    CMDSScalerEngine engine;
    FeatureVectors features;
    PresetMapRecords records;
    MapCoordinates places;
    if (!enterStage(kAnalysing)) return false;
    analysePresets(support_, weights_, features, records);
    if (!enterStage(kPlacing)) return false;
    try {
        engine.computeMap(places, features);
        features.clear();
        if (!placeRecords(records, places)) return false;
        if (!enterStage(kBackground)) return false;
        const juce::MemoryBlock png = mapBackgroundPng(records);
        if (!writePresetMapCache(support_.getCacheFilePath(), records)) return false;
        if (!writeMapBackground(support_, png)) {
            std::cerr << "Preset map : the background image could not be written\n";
            return false;
        }
    } catch (const std::bad_alloc&) {
        std::cerr << "Preset map : out of memory placing " << records.size() << " patches, the map is left as it was\n";
        return false;
    }
    enterStage(kCompleted);
    return true;
}

PresetCacheRead loadPresetMap(ISoundmapSupportBase& support, PresetMapRecords& records) {
    const PresetCacheRead read = readPresetMapCache(support.getCacheFilePath(), records);
    if (read != PresetCacheRead::kDamaged) return read;
    std::cerr << "Preset map : the map is built again\n";
    PresetMapBuilder(support).run();
    return readPresetMapCache(support.getCacheFilePath(), records);
}

} // namespace corvex
