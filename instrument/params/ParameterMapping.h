// The instrument's one list of parameters: a mapper and a cached normalised value per index.
#pragma once

#include <array>
#include <atomic>
#include <memory>
#include <string>

#include "instrument/params/ParameterIndex.h"
#include "instrument/params/ParameterMapper.h"

namespace corvex {

// Told of every cached value the table stores through setValue (the instrument forwards it to the editor).
class MapperManagerListener {
public:
    virtual ~MapperManagerListener() = default;
    virtual void valueChanged(int index, float value) = 0;
};

class ParameterMapping {
public:
    static constexpr int kCount = ParameterIndex::kCount;

    explicit ParameterMapping(MapperManagerListener* listener) : listener_(listener) {}
    virtual ~ParameterMapping() = default;
    ParameterMapping(const ParameterMapping&) = delete;
    ParameterMapping& operator=(const ParameterMapping&) = delete;

    virtual void buildTable() = 0;

    // Every entry point ignores an index outside 0..1009 and a value that is not finite.

    // The row's mapper sets the cached value again.
    virtual void pushCachedValue(int index);
    // Stores the value and tells the listener; the mapper is not called.
    virtual void setValue(int index, float value);
    // The mapper sets the value, then the cache keeps it; the listener is not told.
    void setParameter(int index, float value);
    // The mapper's value, or the cached one where the mapper has none to give.
    float getParameter(int index);
    float getCachedValue(int index) const;
    // Stores the value without telling anyone: for a mapper whose neighbours must see its new value
    // before the table itself stores it.
    void storeCachedValue(int index, float value);

    // What the editor asks when it refreshes a widget: a continuous row gets its cached value pushed
    // through its mapper again. Answers whether the row is discrete (false for a row without a mapper).
    bool refreshParameter(int index);

    // Every row whose mapper can read its value back from the kernel program caches that value; the others
    // keep theirs. Without it a fresh table caches 0 for sounds it never set, and a state written from that
    // cache (a patch's global rows: volume, balance, polyphony) would bring those zeros back on load.
    void cacheProgramValues();

    // After a load of a layer (0 Upper, 1 Lower) or of the global rows (-1): each of its rows lets its
    // mapper follow what was loaded. Nothing reaches the kernel.
    void followLoad(int layer);

    std::string getName(int index) const;
    std::string getLongName(int index) const;
    std::string getText(int index) const;
    bool isDiscrete(int index) const;
    bool isMapperFor(int index, int slot, int word) const;
    ParameterMapper* mapper(int index) const { return ParameterIndex::isValid(index) ? rows_[index].get() : nullptr; }

    // Step arithmetic shared by every stepped mapper: the step of a value, and the value of a step.
    static int quantise(int steps, float value);
    static float stepToValue(int step, int steps);

protected:
    // Puts one mapper at a row; a mapper shared by several rows is put at each of them.
    void setMapper(int index, std::shared_ptr<ParameterMapper> mapper);

private:
    MapperManagerListener* listener_;
    std::array<std::shared_ptr<ParameterMapper>, kCount> rows_;
    std::array<std::atomic<float>, kCount> cached_{};
};

} // namespace corvex
