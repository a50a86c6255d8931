// Blends up to four snapshots of the map's parameters by the weights a morph position gives them.
#pragma once

#include <vector>

#include "presetmap/ISoundmapSupportBase.h"

namespace corvex {

constexpr int kMorphSlots = 4;

// How the support asks one parameter to be blended.
enum MorphKind : int {
    kMorphMean = 0,     // weighted mean
    kMorphHeaviest = 1, // the value of the snapshot with the largest weight
    kMorphRounded = 2,  // weighted mean rounded to a whole number
};

// The inverse distance, with a cursor exactly on a snapshot still leaving the others a share.
float morphWeight(float dx, float dy);

class CMorphEngine {
public:
    virtual ~CMorphEngine() = default;

    // Walks the support's parameters once, so that a morph step asks it nothing but values. A block holds its
    // values in this walk's order.
    void setSupport(ISoundmapSupportBase* support);
    ISoundmapSupportBase* getSupport() const { return support_; }

    int getParameterCount() const { return static_cast<int>(indices_.size()); }
    int getIndex(int n) const { return indices_[static_cast<size_t>(n)]; }
    // Whether the parameter's blend is also written into the current patch's data while dragging.
    bool isWrittenBack(int n) const { return writtenBack_[static_cast<size_t>(n)] != 0; }

    // result.values must hold getParameterCount() floats. A block without values, or with fewer than a
    // parameter's place, reads as 0 there. Touches nothing but the result.
    void blendSnapshots(PresetData& result, const PresetData (&blocks)[kMorphSlots],
                        const float (&weights)[kMorphSlots]) const;

    // One parameter: sum is the sum of all four weights. Any kind but the three blends to 0.
    static float blendValue(int kind, const float (&values)[kMorphSlots], const float (&weights)[kMorphSlots],
                            float sum);

private:
    ISoundmapSupportBase* support_ = nullptr;
    std::vector<int> indices_;
    std::vector<int> kinds_;
    std::vector<char> writtenBack_;
};

} // namespace corvex
