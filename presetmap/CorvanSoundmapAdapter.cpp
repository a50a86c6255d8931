#include "presetmap/CorvanSoundmapAdapter.h"

#include <algorithm>
#include <cstdio>

#include "instrument/CorvanAudioFilter.h"
#include "instrument/MorvaneFindFolder.h"
#include "presetmap/InstrumentType.h"
#include "presetmap/PresetKey.h"
#include "presets/CorvanMultiFilterManager.h"

namespace corvex {

CorvanSoundmapAdapter::CorvanSoundmapAdapter(CorvanMultiFilterManager& patches, CorvanAudioFilter& instrument,
                                             const MorvaneFindFolder& folder, SoundmapBrowserHost* host)
    : patches_(patches), instrument_(instrument), folder_(folder), host_(host), ranges_(soundmapParameterRanges()) {
    collectPresetKeys();
    int highest = -1;
    for (const ParameterRange& range : ranges_) highest = std::max(highest, static_cast<int>(range.last));
    positions_.assign(static_cast<size_t>(highest + 1), -1);
    ParameterRangeIterator it(ranges_);
    while (it.next()) positions_[static_cast<size_t>(it.getIndex())] = parameterCount_++;
}

CorvanSoundmapAdapter::~CorvanSoundmapAdapter() = default;

void CorvanSoundmapAdapter::collectPresetKeys() {
    keys_.clear();
    identifiers_.clear();
    const MorvanePresetManager* manager = patches_.getPresetManager();
    if (manager == nullptr) return;
    for (const auto& [identifier, preset] : manager->getPresets()) {
        const int64_t key = presetKeyFromId(identifier);
        // "Default" and identifiers of another form have no key; a negative one would find "Default" again.
        if (key <= 0) continue;
        const auto [held, added] = identifiers_.emplace(key, identifier);
        if (!added) {
            // The identifier a key spells ("U_123") keeps the key; the other ("U_0123") is left off.
            const juce::String kept = identifier == presetIdFromKey(key) ? identifier : held->second;
            const juce::String left = kept == identifier ? held->second : identifier;
            std::fprintf(stderr, "Preset map : patches %s and %s share the key %lld, %s is left off the map\n",
                         kept.toRawUTF8(), left.toRawUTF8(), static_cast<long long>(key), left.toRawUTF8());
            held->second = kept;
        }
        keys_.insert(key);
    }
}

void CorvanSoundmapAdapter::refreshPresetKeys() {
    collectPresetKeys();
    // A patch saved over since holds other values now; the arrays stay, since copies of blocks point into them.
    for (CachedBlock& block : cache_) block.stale = true;
}

MorvanePreset* CorvanSoundmapAdapter::findPatch(int64_t key) {
    MorvanePresetManager* manager = patches_.getPresetManager();
    if (manager == nullptr) return nullptr;
    const auto named = identifiers_.find(key);
    return manager->getPresetByName(named != identifiers_.end() ? named->second : presetIdFromKey(key));
}

int CorvanSoundmapAdapter::positionOfIndex(int index) const {
    return index >= 0 && index < static_cast<int>(positions_.size()) ? positions_[static_cast<size_t>(index)] : -1;
}

std::unique_ptr<CorvanParameterIterator> CorvanSoundmapAdapter::makeParameterIterator() const {
    return std::make_unique<ParameterRangeIterator>(ranges_);
}

int CorvanSoundmapAdapter::getNextParameterIndex(int index) {
    if (index < 0) return ranges_.empty() ? -1 : ranges_.front().first;
    for (size_t r = 0; r < ranges_.size(); ++r) {
        if (index < ranges_[r].first || index > ranges_[r].last) continue;
        if (index < ranges_[r].last) return index + 1;
        return r + 1 < ranges_.size() ? ranges_[r + 1].first : -1;
    }
    return -1;
}

bool CorvanSoundmapAdapter::getParameterRangeFlag(int index) {
    for (const ParameterRange& range : ranges_)
        if (index >= range.first && index <= range.last) return (range.flags & kRangeFlagLayer) != 0;
    return false;
}

void CorvanSoundmapAdapter::readValues(CachedBlock& block) {
    ParameterRangeIterator it(ranges_);
    for (int n = 0; it.next(); ++n) block.values[static_cast<size_t>(n)] = instrument_.getParameter(it.getIndex());
    block.stale = false;
}

PresetData CorvanSoundmapAdapter::buildPresetData() {
    MorvanePreset* patch = patches_.getCurrentPreset();
    const juce::String identifier = patch != nullptr ? patch->getIdentifier() : juce::String();
    const int64_t key = presetKeyFromId(identifier);
    const auto found = cachePositions_.find(key);
    if (found != cachePositions_.end()) {
        currentPosition_ = static_cast<int>(found->second);
        CachedBlock& block = cache_[found->second];
        // Key 0 is shared by "Default" and identifiers of another form, and two identifiers may give one key.
        if (block.stale || block.identifier != identifier) {
            block.identifier = identifier;
            readValues(block);
        }
    } else {
        currentPosition_ = static_cast<int>(cache_.size());
        cachePositions_.emplace(key, cache_.size());
        CachedBlock block;
        block.values = std::make_unique<float[]>(static_cast<size_t>(parameterCount_));
        block.identifier = identifier;
        readValues(block);
        cache_.push_back(std::move(block));
    }
    currentKey_ = key;
    return PresetData{parameterCount_, cache_[static_cast<size_t>(currentPosition_)].values.get()};
}

void CorvanSoundmapAdapter::applyPresetData(const PresetData& data) {
    if (data.values == nullptr) return;
    ParameterRangeIterator it(ranges_);
    for (int n = 0; n < data.count && it.next(); ++n) instrument_.setParameter(it.getIndex(), data.values[n]);
}

void CorvanSoundmapAdapter::getWeightedParameterValues(std::vector<float>& out, const PresetData& data) {
    for (int index = getNextParameterIndex(-1); index >= 0; index = getNextParameterIndex(index))
        out.push_back(getParameterValue(index, data) * getParameterWeight(index));
}

void CorvanSoundmapAdapter::closeBrowser() {
    if (host_ != nullptr) host_->closeBrowser();
}

float CorvanSoundmapAdapter::getParameterValue(int index, const PresetData& data) {
    const int position = positionOfIndex(index);
    if (position < 0 || position >= data.count || data.values == nullptr) return 0.0f;
    return data.values[position];
}

void CorvanSoundmapAdapter::setParameterValue(int index, PresetData* data, float value) {
    const int position = positionOfIndex(index);
    float* values = nullptr;
    int count = 0;
    if (data != nullptr) {
        values = data->values;
        count = data->count;
    } else if (currentPosition_ >= 0) {
        values = cache_[static_cast<size_t>(currentPosition_)].values.get();
        count = parameterCount_;
    }
    if (values != nullptr && position >= 0 && position < count) values[position] = value;
    instrument_.setParameter(index, value);
}

int64_t CorvanSoundmapAdapter::getNextPresetKey(int64_t key) {
    if (key == -1) return keys_.empty() ? -1 : *keys_.begin();
    const auto at = keys_.find(key);
    if (at == keys_.end()) return -1;
    const auto after = std::next(at);
    return after == keys_.end() ? -1 : *after;
}

void CorvanSoundmapAdapter::loadPreset(int64_t key) {
    if (MorvanePreset* patch = findPatch(key)) patches_.setCurrentPreset(patch, true);
}

std::string CorvanSoundmapAdapter::getPresetName(int64_t key) {
    const MorvanePreset* patch = findPatch(key);
    return patch != nullptr ? patch->getName().toStdString() : std::string();
}

std::string CorvanSoundmapAdapter::getPresetAuthor(int64_t key) {
    const MorvanePreset* patch = findPatch(key);
    return patch != nullptr ? patch->getAttribute("AUTHOR").toStdString() : std::string();
}

int16_t CorvanSoundmapAdapter::getPresetType(int64_t key) {
    const MorvanePreset* patch = findPatch(key);
    MorvanePresetFilterManager* programs = patches_.getUpperPrograms();
    if (patch == nullptr || programs == nullptr) return 0;
    const MorvanePreset* program =
        programs->getPresetByName(patch->getAttribute(CorvanMultiFilterManager::kUpperProgramKey));
    return program != nullptr ? instrumentTypeCode(program->getAttribute("Type").toStdString()) : 0;
}

std::string CorvanSoundmapAdapter::getCacheFilePath() {
    return folder_.getSettingsFolder().getChildFile(kCacheFileName).getFullPathName().toStdString();
}

std::string CorvanSoundmapAdapter::getBackgroundImagePath() {
    return folder_.getSettingsFolder().getChildFile(kBackgroundFileName).getFullPathName().toStdString();
}

void CorvanSoundmapAdapter::keepPlayerState() {
    playerState_.reset();
    instrument_.getStateInformation(playerState_);
}

void CorvanSoundmapAdapter::restorePlayerState() {
    if (playerState_.getSize() == 0) return;
    instrument_.setStateInformation(playerState_.getData(), static_cast<int>(playerState_.getSize()));
    playerState_.reset();
}

} // namespace corvex
