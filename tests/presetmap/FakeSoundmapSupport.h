// A support for the map's tests: a library of patches held in memory (key, name, author, type and the map
// values each), an instrument that only remembers the values set on it, and the map's files in a folder of the
// test's choosing. It records what the map asked of it.
#pragma once

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <juce_core/juce_core.h>

#include "presetmap/ISoundmapSupportBase.h"
#include "presetmap/MapParameterRanges.h"

namespace corvex::testing {

struct FakePatch {
    int64_t key = 0;
    std::string name;
    std::string author;
    int16_t type = 0;
    // One value per map index, in walk order; missing ones read as 0.
    std::vector<float> values;
};

class FakeSoundmapSupport : public ISoundmapSupportBase {
public:
    explicit FakeSoundmapSupport(const juce::File& folder) : folder_(folder) {
        ParameterRangeIterator it(soundmapParameterRanges());
        while (it.next()) indices.push_back(it.getIndex());
    }

    // The library. refreshPresetKeys takes it again, as the product's adapter does.
    std::vector<FakePatch> library;
    // What the map walks: the library as it was at the last refresh (or at the first call).
    std::vector<FakePatch> walked;
    std::vector<int> indices;
    // What the instrument was told, by index, and every index it was told in order.
    std::map<int, float> instrument;
    std::vector<int> instrumentSets;
    std::vector<int64_t> loads;
    int64_t loaded = -1;
    int keeps = 0, restores = 0, refreshes = 0, selections = 0, closes = 0;
    // The lock's count at each load and each block applied.
    std::vector<int32_t> lockAtLoad;
    std::vector<int32_t> lockAtApply;
    std::vector<float> matrixSection;
    std::function<void(int64_t)> onLoad;

    void add(int64_t key, std::string name, int16_t type, std::vector<float> values, std::string author = "") {
        library.push_back({key, std::move(name), std::move(author), type, std::move(values)});
    }

    int getNextParameterIndex(int index) override {
        if (index < 0) return indices.front();
        const auto at = std::find(indices.begin(), indices.end(), index);
        return at == indices.end() || at + 1 == indices.end() ? -1 : *(at + 1);
    }
    float getParameterWeight(int) override { return 1.0f; }
    bool getParameterRangeFlag(int index) override { return index < 211; }
    int getParameterMorphKind(int) override { return 0; }
    PresetData getCurrentPresetData() override { return {}; }
    PresetData buildPresetData() override {
        const FakePatch* patch = find(loaded);
        auto& block = blocks_[loaded];
        if (!block) {
            block = std::make_unique<float[]>(indices.size());
            for (size_t n = 0; n < indices.size(); ++n)
                block[n] = patch != nullptr && n < patch->values.size() ? patch->values[n] : 0.0f;
        }
        current_ = block.get();
        return {static_cast<int32_t>(indices.size()), block.get()};
    }
    void applyPresetData(const PresetData& data) override {
        lockAtApply.push_back(lock_.getCount());
        for (int n = 0; n < data.count && n < static_cast<int>(indices.size()); ++n)
            tell(indices[static_cast<size_t>(n)], data.values[n]);
    }
    void getWeightedParameterValues(std::vector<float>& out, const PresetData& data) override {
        for (int n = 0; n < data.count; ++n) out.push_back(data.values[n]);
    }
    void getMatrixValues(std::vector<float>& out, const PresetData&) override {
        out.insert(out.end(), matrixSection.begin(), matrixSection.end());
    }
    void presetSelected() override { ++selections; }
    void closeBrowser() override { ++closes; }
    float getParameterValue(int index, const PresetData& data) override {
        const int n = position(index);
        return n >= 0 && n < data.count ? data.values[n] : 0.0f;
    }
    void setParameterValue(int index, PresetData* data, float value) override {
        float* values = data != nullptr ? data->values : current_;
        const int n = position(index);
        if (values != nullptr && n >= 0) values[n] = value;
        tell(index, value);
    }
    int64_t getNextPresetKey(int64_t key) override {
        takeLibraryOnce();
        if (key == -1) return walked.empty() ? -1 : walked.front().key;
        for (size_t n = 0; n + 1 < walked.size(); ++n)
            if (walked[n].key == key) return walked[n + 1].key;
        return -1;
    }
    void loadPreset(int64_t key) override {
        loads.push_back(key);
        lockAtLoad.push_back(lock_.getCount());
        loaded = key;
        if (onLoad) onLoad(key);
    }
    std::string getPresetName(int64_t key) override { return find(key) != nullptr ? find(key)->name : ""; }
    std::string getPresetAuthor(int64_t key) override { return find(key) != nullptr ? find(key)->author : ""; }
    int16_t getPresetType(int64_t key) override { return find(key) != nullptr ? find(key)->type : 0; }
    std::string getCacheFilePath() override {
        return folder_.getChildFile("presetCache.dat").getFullPathName().toStdString();
    }
    std::string getBackgroundImagePath() override {
        return folder_.getChildFile("mapBackground.png").getFullPathName().toStdString();
    }
    ProcessLockImpl* getProcessLock() override { return &lock_; }
    void refreshPresetKeys() override {
        ++refreshes;
        walked = library;
        std::sort(walked.begin(), walked.end(), [](const FakePatch& a, const FakePatch& b) { return a.key < b.key; });
        taken_ = true;
    }
    void keepPlayerState() override { ++keeps; }
    void restorePlayerState() override { ++restores; }

    juce::File cacheFile() const { return folder_.getChildFile("presetCache.dat"); }
    juce::File backgroundFile() const { return folder_.getChildFile("mapBackground.png"); }

private:
    void tell(int index, float value) {
        instrument[index] = value;
        instrumentSets.push_back(index);
    }
    void takeLibraryOnce() {
        if (!taken_) {
            refreshPresetKeys();
            --refreshes;
        }
    }
    const FakePatch* find(int64_t key) const {
        for (const FakePatch& patch : library)
            if (patch.key == key) return &patch;
        return nullptr;
    }
    int position(int index) const {
        const auto at = std::find(indices.begin(), indices.end(), index);
        return at == indices.end() ? -1 : static_cast<int>(at - indices.begin());
    }

    juce::File folder_;
    ProcessLockImpl lock_;
    std::map<int64_t, std::unique_ptr<float[]>> blocks_;
    float* current_ = nullptr;
    bool taken_ = false;
};

} // namespace corvex::testing
