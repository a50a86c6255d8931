// What the preset map knows of the instrument and its patch library: one abstract interface, so that the map,
// its list, its builder and the morph never reach the instrument or the library any other way.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace corvex {

// One patch's values of the parameters that count for the map, in the order of the support's ranges.
// Copies share the value array; whoever made the array keeps it alive.
struct PresetData {
    int32_t count = 0;
    float* values = nullptr;
};

// A nesting counter that marks the time the map code drives the instrument; 0 when nobody holds it.
class ProcessLockImpl {
public:
    // The first holder waits 10 ms before it goes on, so that a block the audio thread is rendering with the
    // sound of before ends first.
    void enter();
    void leave() { --count_; }
    int32_t getCount() const { return count_; }

private:
    int32_t count_ = 0;
};

// Holds a process lock for its scope, also when the scope is left by an exception (an allocation failure).
class ProcessLockHolder {
public:
    explicit ProcessLockHolder(ProcessLockImpl* lock) : lock_(lock) {
        if (lock_ != nullptr) lock_->enter();
    }
    ~ProcessLockHolder() {
        if (lock_ != nullptr) lock_->leave();
    }
    ProcessLockHolder(const ProcessLockHolder&) = delete;
    ProcessLockHolder& operator=(const ProcessLockHolder&) = delete;

private:
    ProcessLockImpl* lock_;
};

// Message thread only. Keys are 64-bit preset keys (-1 starts and ends a walk), indices parameter indices,
// values normalised 0..1; texts are UTF-8.
class ISoundmapSupportBase {
public:
    virtual ~ISoundmapSupportBase() = default;

    // -1 gives the first index; after the last, or for an index the map does not use, -1.
    virtual int getNextParameterIndex(int index) = 0;
    virtual float getParameterWeight(int index) = 0;
    virtual bool getParameterRangeFlag(int index) = 0;
    // 0: the morph takes the weighted average.
    virtual int getParameterMorphKind(int index) = 0;
    virtual PresetData getCurrentPresetData() = 0;
    // The values of the patch loaded now.
    virtual PresetData buildPresetData() = 0;
    virtual void applyPresetData(const PresetData& data) = 0;
    // Appends the weighted value of every map index, in walk order.
    virtual void getWeightedParameterValues(std::vector<float>& out, const PresetData& data) = 0;
    // Appends the values of the matrix section of a patch's feature vector.
    virtual void getMatrixValues(std::vector<float>& out, const PresetData& data) = 0;
    // The browser has selected a patch.
    virtual void presetSelected() = 0;
    virtual void closeBrowser() = 0;
    virtual float getParameterValue(int index, const PresetData& data) = 0;
    // Null: the block of the patch whose values were built last.
    virtual void setParameterValue(int index, PresetData* data, float value) = 0;
    // -1 gives the smallest key; the last key, or one the library does not hold, gives -1.
    virtual int64_t getNextPresetKey(int64_t key) = 0;
    virtual void loadPreset(int64_t key) = 0;
    virtual std::string getPresetName(int64_t key) = 0;
    virtual std::string getPresetAuthor(int64_t key) = 0;
    // 0 to 11 (see InstrumentType.h).
    virtual int16_t getPresetType(int64_t key) = 0;
    virtual std::string getCacheFilePath() = 0;
    virtual std::string getBackgroundImagePath() = 0;
    virtual ProcessLockImpl* getProcessLock() = 0;

    // The patches saved or deleted since the keys were last taken join or leave the walk, and values read
    // before are read again when their patch is next built.
    virtual void refreshPresetKeys() = 0;
    // What the player hears and edits, kept before the map loads patch after patch and put back afterwards.
    virtual void keepPlayerState() = 0;
    virtual void restorePlayerState() = 0;
};

} // namespace corvex
