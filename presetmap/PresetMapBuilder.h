// Turns every patch into a point of the preset map: loads each into the instrument, describes it by a
// weighted feature vector, places the vectors by multidimensional scaling, then writes the cache file and the
// background image. Message thread; the instrument keeps playing meanwhile.
#pragma once

#include <juce_core/juce_core.h>

#include "presetmap/MapWeights.h"
#include "presetmap/PresetMapCache.h"
#include "presetmap/PresetMapRecord.h"
#include "presetmap/scaling/CBasicScalerEngine.h"

namespace corvex {

class ISoundmapSupportBase;

// What a progress window shows of a run, and the user's request to stop it.
class PresetMapBuildProgress {
public:
    virtual ~PresetMapBuildProgress() = default;
    virtual void setProgress(double progress) = 0;
    virtual void setStatusMessage(const juce::String& text) = 0;
    virtual bool threadShouldExit() = 0;
};

// Twelve values for the instrument type (the type's one is "Inst" x 7), the support's matrix section times
// "Matx", then the map parameters times "Par".
constexpr int kTypeSectionSize = 12;
constexpr float kTypeSectionScale = 7.0f;

// Every patch of the library, in key order: one feature vector and one record (without its place) each; a
// type outside 0..11 marks no type in the vector and is recorded as 0, as the cache file knows no other. The
// keys are taken afresh first, so patches saved since the last build are in; what the player heard and edited
// before is put back at the end. The support's process lock is held throughout.
void analysePresets(ISoundmapSupportBase& support, const MapWeights& weights, FeatureVectors& features,
                    PresetMapRecords& records);

// The n-th record takes the n-th place. False, changing nothing, when the counts differ.
bool placeRecords(PresetMapRecords& records, const MapCoordinates& places);

// placeRecords, then the cache file is written. False when the counts differ (nothing is written) or the
// file could not be.
bool writeMapCoordinates(PresetMapRecords& records, ISoundmapSupportBase& support, const MapCoordinates& places);

class PresetMapBuilder {
public:
    enum Stage { kAnalysing = 0, kPlacing = 1, kBackground = 2, kCompleted = 3 };
    static const char* stageText(int stage);

    // progress may be null: the run is then never stopped between stages.
    explicit PresetMapBuilder(ISoundmapSupportBase& support, const MapWeights& weights = mapWeights(),
                              PresetMapBuildProgress* progress = nullptr);

    // All stages in turn. A stop request is looked at between stages; a stage under way runs to its end. Both
    // files are written in the last stage, the cache first, once the background is drawn: a run stopped, or a
    // cache that cannot be written, leaves the map of before whole. True when both files were written.
    bool run();
    // False, doing nothing, when a stop was requested; else shows the stage.
    bool enterStage(int stage);

private:
    ISoundmapSupportBase& support_;
    MapWeights weights_;
    PresetMapBuildProgress* progress_;
};

// The map of the cache file, as the browser opens it. A damaged file is never trusted: the map is built again
// and read back. A missing one leaves the map empty until the user builds it.
PresetCacheRead loadPresetMap(ISoundmapSupportBase& support, PresetMapRecords& records);

} // namespace corvex
