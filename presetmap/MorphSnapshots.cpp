#include "presetmap/MorphSnapshots.h"

#include <cmath>
#include <limits>

namespace corvex {

void MorphSnapshots::init(ISoundmapSupportBase* support) {
    engine_.setSupport(support);
    const size_t count = static_cast<size_t>(engine_.getParameterCount());
    for (Slot& slot : slots_) {
        slot = Slot{};
        slot.values.assign(count, 0.0f);
    }
    result_.assign(count, 0.0f);
    sent_.assign(count, std::numeric_limits<float>::quiet_NaN());
    blended_ = dragging_ = showLastPath_ = false;
    lastStart_ = lastEnd_ = MorphPoint{};
}

void MorphSnapshots::setSnapshot(int slot, const PresetMapRecord* record, MorphPoint position,
                                 const PresetData& data) {
    Slot& s = slots_[static_cast<size_t>(slot)];
    s.record = record;
    s.position = position;
    s.filled = record != nullptr;
    for (size_t n = 0; n < s.values.size(); ++n)
        s.values[n] = data.values != nullptr && static_cast<int>(n) < data.count ? data.values[n] : 0.0f;
}

void MorphSnapshots::clearSnapshots() {
    for (Slot& s : slots_) {
        s.record = nullptr;
        s.filled = false;
    }
}

PresetData MorphSnapshots::getSnapshotData(int slot) const {
    const Slot& s = slots_[static_cast<size_t>(slot)];
    if (!s.filled) return {};
    return {static_cast<int32_t>(s.values.size()), const_cast<float*>(s.values.data())};
}

PresetData MorphSnapshots::getResult() const {
    if (!blended_) return {};
    return {static_cast<int32_t>(result_.size()), const_cast<float*>(result_.data())};
}

int MorphSnapshots::countSnapshots() const {
    int count = 0;
    for (const Slot& s : slots_) count += s.filled ? 1 : 0;
    return count;
}

int MorphSnapshots::presenceMask() const {
    int mask = 0;
    for (int i = 0; i < kMorphSlots; ++i)
        if (slots_[static_cast<size_t>(i)].filled) mask |= 1 << i;
    return mask;
}

void MorphSnapshots::computeWeights(float x, float y, float (&weights)[kMorphSlots]) const {
    for (int i = 0; i < kMorphSlots; ++i) {
        const Slot& s = slots_[static_cast<size_t>(i)];
        weights[i] = s.filled ? morphWeight(x - s.position.x, y - s.position.y) : 0.0f;
    }
}

void MorphSnapshots::blendAt(float x, float y) {
    float weights[kMorphSlots];
    computeWeights(x, y, weights);
    const PresetData blocks[kMorphSlots] = {getSnapshotData(0), getSnapshotData(1), getSnapshotData(2),
                                            getSnapshotData(3)};
    PresetData result{static_cast<int32_t>(result_.size()), result_.data()};
    engine_.blendSnapshots(result, blocks, weights);
    blended_ = true;
}

MorphPoint MorphSnapshots::relative(float x, float y, float width, float height) {
    return {width > 0.0f ? x / width : 0.0f, height > 0.0f ? y / height : 0.0f};
}

bool MorphSnapshots::beginMorph(float x, float y, float width, float height) {
    ISoundmapSupportBase* support = getSupport();
    if (support == nullptr || countSnapshots() == 0) return false;
    showLastPath_ = false;
    dragging_ = true;
    blendAt(x, y);
    {
        // Each parameter is sent once per step: the whole result here, within the lock that marks the map
        // driving the instrument.
        const ProcessLockHolder lock(support->getProcessLock());
        support->applyPresetData(getResult());
    }
    for (size_t n = 0; n < result_.size(); ++n)
        sent_[n] = engine_.isWrittenBack(static_cast<int>(n)) ? std::numeric_limits<float>::quiet_NaN() : result_[n];
    lastStart_ = lastEnd_ = relative(x, y, width, height);
    return true;
}

bool MorphSnapshots::continueMorph(float x, float y, float width, float height) {
    ISoundmapSupportBase* support = getSupport();
    if (!dragging_ || support == nullptr) return false;
    blendAt(x, y);
    PresetData result = getResult();
    // A step sends only what moved: a drag of small steps leaves most parameters where they were, and the
    // kernel's ring stays far from full however fast the mouse moves.
    for (size_t n = 0; n < result_.size(); ++n) {
        const float value = result_[n];
        if (value == sent_[n]) continue;
        const int i = static_cast<int>(n);
        support->setParameterValue(engine_.getIndex(i), engine_.isWrittenBack(i) ? nullptr : &result, value);
        sent_[n] = value;
    }
    lastEnd_ = relative(x, y, width, height);
    return true;
}

void MorphSnapshots::endMorph() {
    dragging_ = false;
    showLastPath_ = true;
}

} // namespace corvex
