#include "presetmap/CMorphEngine.h"

#include <cmath>

namespace corvex {

float morphWeight(float dx, float dy) {
    float d = std::sqrt(dx * dx + dy * dy);
    if (d < 0.000001f) d = 0.000001f;
    return 1.0f / d;
}

void CMorphEngine::setSupport(ISoundmapSupportBase* support) {
    support_ = support;
    indices_.clear();
    kinds_.clear();
    writtenBack_.clear();
    if (support_ == nullptr) return;
    for (int index = support_->getNextParameterIndex(-1); index >= 0; index = support_->getNextParameterIndex(index)) {
        indices_.push_back(index);
        kinds_.push_back(support_->getParameterMorphKind(index));
        writtenBack_.push_back(support_->getParameterRangeFlag(index) ? 1 : 0);
    }
}

float CMorphEngine::blendValue(int kind, const float (&values)[kMorphSlots], const float (&weights)[kMorphSlots],
                               float sum) {
    float acc = 0.0f;
    switch (kind) {
    case kMorphMean:
    case kMorphRounded:
        for (int i = 0; i < kMorphSlots; ++i)
            if (weights[i] > 0.0f) acc += weights[i] * values[i];
        acc /= sum;
        if (kind == kMorphRounded) acc = std::floor(acc + 0.5f);
        break;
    case kMorphHeaviest: {
        float best = 0.0f;
        for (int i = 0; i < kMorphSlots; ++i)
            if (weights[i] > best) {
                acc = values[i];
                best = weights[i];
            }
        break;
    }
    default:
        break;
    }
    return acc;
}

void CMorphEngine::blendSnapshots(PresetData& result, const PresetData (&blocks)[kMorphSlots],
                                  const float (&weights)[kMorphSlots]) const {
    // Summed in this order, so that a blend is the same whichever slots are empty.
    const float sum = (((weights[0] + 0.0f) + weights[1]) + weights[2]) + weights[3];
    const int count = getParameterCount() < result.count ? getParameterCount() : result.count;
    for (int n = 0; n < count; ++n) {
        float values[kMorphSlots];
        for (int i = 0; i < kMorphSlots; ++i)
            values[i] = blocks[i].values != nullptr && n < blocks[i].count ? blocks[i].values[n] : 0.0f;
        result.values[n] = blendValue(kinds_[static_cast<size_t>(n)], values, weights, sum);
    }
}

} // namespace corvex
