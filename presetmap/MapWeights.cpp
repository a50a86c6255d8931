#include "presetmap/MapWeights.h"

namespace corvex {

namespace {

float* weightOf(MapWeights& weights, std::string_view key) {
    if (key == "Inst") return &weights.instrument;
    if (key == "Att") return &weights.attributes;
    if (key == "Par") return &weights.parameters;
    if (key == "Matx") return &weights.matrix;
    return nullptr;
}

} // namespace

float MapWeights::get(std::string_view key) const {
    const float* weight = weightOf(const_cast<MapWeights&>(*this), key);
    return weight != nullptr ? *weight : 0.0f;
}

void MapWeights::set(std::string_view key, float value) {
    if (float* weight = weightOf(*this, key)) *weight = value;
}

MapWeights& mapWeights() {
    static MapWeights weights;
    return weights;
}

} // namespace corvex
