// The parameter indices that count for the map: a few inclusive ranges, walked in order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace corvex {

struct ParameterRange {
    int16_t first;
    int16_t last; // inclusive
    int32_t flags;
};

// Bit 0 of a range's flags.
constexpr int32_t kRangeFlagLayer = 1;

// Both layers' first 49 indices of the first block, then both layers' second blocks and index 233: 121 in all.
const std::vector<ParameterRange>& soundmapParameterRanges();

class CorvanParameterIterator {
public:
    virtual ~CorvanParameterIterator() = default;
    // Back to before the first index.
    virtual void reset() = 0;
    // False after the last index.
    virtual bool next() = 0;
    // -1 before the first index.
    virtual int getIndex() const = 0;
    virtual int getCount() const = 0;
};

class ParameterRangeIterator : public CorvanParameterIterator {
public:
    // The ranges must outlive the iterator.
    explicit ParameterRangeIterator(const std::vector<ParameterRange>& ranges);
    void reset() override;
    bool next() override;
    int getIndex() const override { return index_; }
    int getCount() const override { return count_; }

private:
    const std::vector<ParameterRange>& ranges_;
    size_t range_ = 0;
    int index_ = -1;
    int count_ = 0;
    bool done_ = false;
};

} // namespace corvex
