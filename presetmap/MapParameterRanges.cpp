#include "presetmap/MapParameterRanges.h"

namespace corvex {

const std::vector<ParameterRange>& soundmapParameterRanges() {
    static const std::vector<ParameterRange> ranges{{0, 48, 3}, {92, 140, 3}, {211, 233, 2}};
    return ranges;
}

ParameterRangeIterator::ParameterRangeIterator(const std::vector<ParameterRange>& ranges) : ranges_(ranges) {
    for (const ParameterRange& range : ranges_)
        if (range.last >= range.first) count_ += range.last - range.first + 1;
}

void ParameterRangeIterator::reset() {
    range_ = 0;
    index_ = -1;
    done_ = false;
}

bool ParameterRangeIterator::next() {
    if (done_) return false;
    if (index_ >= 0 && index_ < ranges_[range_].last) {
        ++index_;
        return true;
    }
    // The first index of the next range that holds any.
    for (size_t r = index_ < 0 ? 0 : range_ + 1; r < ranges_.size(); ++r) {
        if (ranges_[r].last < ranges_[r].first) continue;
        range_ = r;
        index_ = ranges_[r].first;
        return true;
    }
    done_ = true;
    return false;
}

} // namespace corvex
