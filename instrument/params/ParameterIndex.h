// Parameter indices: which layer a row belongs to, and folding between the layers and effect chains.
#pragma once

namespace corvex::ParameterIndex {

constexpr int kCount = 1010;

// The three blocks of layer rows; each Lower row is its Upper row plus the block's offset.
struct LayerBlock {
    int firstUpper, lastUpper, lowerOffset;
};
constexpr LayerBlock kLayerBlocks[3] = {{0, 91, 92}, {211, 221, 11}, {249, 609, 361}};

constexpr bool isValid(int index) { return index >= 0 && index < kCount; }

// 0 for an Upper row, 1 for a Lower row, -1 for a global row (or an index outside the table).
constexpr int layerOf(int index) {
    for (const LayerBlock& b : kLayerBlocks) {
        if (index >= b.firstUpper && index <= b.lastUpper) return 0;
        if (index >= b.firstUpper + b.lowerOffset && index <= b.lastUpper + b.lowerOffset) return 1;
    }
    return -1;
}

// A Lower row to its Upper twin; every other index stays.
constexpr int foldToUpper(int index) {
    for (const LayerBlock& b : kLayerBlocks)
        if (index >= b.firstUpper + b.lowerOffset && index <= b.lastUpper + b.lowerOffset) return index - b.lowerOffset;
    return index;
}

// An Upper row to its twin in layer 0 (itself) or 1; every other index stays.
constexpr int unfold(int upper, int layer) {
    for (const LayerBlock& b : kLayerBlocks)
        if (upper >= b.firstUpper && upper <= b.lastUpper) return upper + b.lowerOffset * (layer == 1 ? 1 : 0);
    return upper;
}

// Chain 1's effect rows to chain c's (0 or 1): the effect panels address chain 2 through chain 1's indices.
constexpr int foldEffectIndex(int chain, int index) {
    if (index >= 48 && index <= 91) return index + 22 * chain;
    if (index >= 249 && index <= 438) return index + 95 * chain;
    return index;
}

// The kernel part of a layer (1 Upper, 2 Lower).
constexpr int partOfLayer(int layer) { return layer + 1; }

} // namespace corvex::ParameterIndex
