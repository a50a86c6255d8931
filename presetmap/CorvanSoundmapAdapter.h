// The product's side of the preset map: the patches of the multi filter manager, the parameters of the
// instrument and the files of the settings folder, behind ISoundmapSupportBase.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <vector>

#include <juce_core/juce_core.h>

#include "presetmap/ISoundmapSupportBase.h"
#include "presetmap/MapParameterRanges.h"

namespace corvex {

class CorvanAudioFilter;
class CorvanMultiFilterManager;
class MorvaneFindFolder;
class MorvanePreset;

// Whoever shows the browser window; the map asks it to close the window after a rebuild.
class SoundmapBrowserHost {
public:
    virtual ~SoundmapBrowserHost() = default;
    virtual void closeBrowser() = 0;
};

class CorvanSoundmapAdapter : public ISoundmapSupportBase, public ProcessLockImpl {
public:
    static constexpr const char* kCacheFileName = "presetCache.dat";
    static constexpr const char* kBackgroundFileName = "mapBackground.png";
    using CorvanParamIteratorImpl = ParameterRangeIterator;

    // All four are borrowed and must outlive the adapter; host may be null. The patches present now are walked.
    CorvanSoundmapAdapter(CorvanMultiFilterManager& patches, CorvanAudioFilter& instrument,
                          const MorvaneFindFolder& folder, SoundmapBrowserHost* host);
    ~CorvanSoundmapAdapter() override;

    int getNextParameterIndex(int index) override;
    float getParameterWeight(int) override { return 1.0f; }
    bool getParameterRangeFlag(int index) override;
    int getParameterMorphKind(int) override { return 0; }
    PresetData getCurrentPresetData() override { return own_; }
    // Read from the instrument the first time a patch is built (or again after refreshPresetKeys); later
    // calls give the same array, so an edit through one copy is seen through every other.
    PresetData buildPresetData() override;
    void applyPresetData(const PresetData& data) override;
    void getWeightedParameterValues(std::vector<float>& out, const PresetData& data) override;
    // This product's feature vectors have no matrix section.
    void getMatrixValues(std::vector<float>&, const PresetData&) override {}
    void presetSelected() override {}
    void closeBrowser() override;
    // 0 for an index the map does not use.
    float getParameterValue(int index, const PresetData& data) override;
    void setParameterValue(int index, PresetData* data, float value) override;
    int64_t getNextPresetKey(int64_t key) override;
    // A key the library does not hold acts on the "Default" patch.
    void loadPreset(int64_t key) override;
    std::string getPresetName(int64_t key) override;
    std::string getPresetAuthor(int64_t key) override;
    // The type of the patch's Upper program.
    int16_t getPresetType(int64_t key) override;
    std::string getCacheFilePath() override;
    std::string getBackgroundImagePath() override;
    ProcessLockImpl* getProcessLock() override { return this; }
    void refreshPresetKeys() override;
    void keepPlayerState() override;
    void restorePlayerState() override;

    // The place of an index in a PresetData block, -1 for an index the map does not use.
    int positionOfIndex(int index) const;
    // The parameter indices of the map, in block order.
    std::unique_ptr<CorvanParameterIterator> makeParameterIterator() const;

private:
    // A patch's block: its own array, and the identifier whose patch filled it.
    struct CachedBlock {
        std::unique_ptr<float[]> values;
        juce::String identifier;
        bool stale = false;
    };

    void collectPresetKeys();
    MorvanePreset* findPatch(int64_t key);
    void readValues(CachedBlock& block);

    CorvanMultiFilterManager& patches_;
    CorvanAudioFilter& instrument_;
    const MorvaneFindFolder& folder_;
    SoundmapBrowserHost* host_;
    const std::vector<ParameterRange>& ranges_;
    std::set<int64_t> keys_;
    // The identifier each key was read from: "U_0123" is found again by key 123.
    std::map<int64_t, juce::String> identifiers_;
    // One block per patch ever built, the "Default" patch and patches saved later included.
    std::map<int64_t, size_t> cachePositions_;
    std::vector<CachedBlock> cache_;
    int currentPosition_ = -1;
    int64_t currentKey_ = 0;
    PresetData own_;
    std::vector<int> positions_;
    int parameterCount_ = 0;
    juce::MemoryBlock playerState_;
};

} // namespace corvex
