// The morph's state: four snapshot slots (a patch of the map, its place in the view and a copy of its values),
// the blended result, and the drag that turns a position in the view into a sound. No window: the views that
// morph (the map and the morpher) hand it positions in their own pixels.
#pragma once

#include <array>
#include <vector>

#include "presetmap/CMorphEngine.h"
#include "presetmap/PresetMapRecord.h"

namespace corvex {

struct MorphPoint {
    float x = 0.0f;
    float y = 0.0f;
};

class MorphSnapshots {
public:
    // Sizes every array the morph needs, so that a morph step allocates nothing.
    void init(ISoundmapSupportBase* support);
    ISoundmapSupportBase* getSupport() const { return engine_.getSupport(); }
    const CMorphEngine& getEngine() const { return engine_; }

    // The slot keeps its own copy of the values: neither a morph nor a later change of the support's block
    // reaches it. A null record empties the slot.
    void setSnapshot(int slot, const PresetMapRecord* record, MorphPoint position, const PresetData& data);
    void clearSnapshots();
    void setPosition(int slot, MorphPoint position) { slots_[static_cast<size_t>(slot)].position = position; }

    const PresetMapRecord* getRecord(int slot) const { return slots_[static_cast<size_t>(slot)].record; }
    MorphPoint getPosition(int slot) const { return slots_[static_cast<size_t>(slot)].position; }
    PresetData getSnapshotData(int slot) const;
    // The values of the last blend; no values before the first.
    PresetData getResult() const;
    int countSnapshots() const;
    // Bit i set when slot i holds a patch.
    int presenceMask() const;

    // 1 / distance for each slot that holds a patch, 0 for an empty one.
    void computeWeights(float x, float y, float (&weights)[kMorphSlots]) const;

    // A press at (x, y) of a view of the given size: blends there and applies every parameter, inside the
    // support's process lock. False, doing nothing, while no slot holds a patch.
    bool beginMorph(float x, float y, float width, float height);
    // A drag: blends again and sends only the parameters whose value moved, each once; the layer parameters also
    // go into the current patch's data. False, doing nothing, without a press before it.
    bool continueMorph(float x, float y, float width, float height);
    // The release: the path of the morph stays to be drawn.
    void endMorph();

    bool isDragging() const { return dragging_; }
    bool showsLastPath() const { return showLastPath_; }
    // The press and the latest drag position, as fractions of the view's size when they happened.
    MorphPoint getLastStart() const { return lastStart_; }
    MorphPoint getLastEnd() const { return lastEnd_; }

private:
    struct Slot {
        const PresetMapRecord* record = nullptr;
        MorphPoint position;
        std::vector<float> values;
        bool filled = false;
    };

    void blendAt(float x, float y);
    static MorphPoint relative(float x, float y, float width, float height);

    CMorphEngine engine_;
    std::array<Slot, kMorphSlots> slots_;
    std::vector<float> result_;
    bool blended_ = false;
    // What the instrument was last sent of each parameter during this drag; NaN for nothing yet.
    std::vector<float> sent_;
    bool dragging_ = false;
    bool showLastPath_ = false;
    MorphPoint lastStart_;
    MorphPoint lastEnd_;
};

} // namespace corvex
