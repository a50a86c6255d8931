// Trajectory points a layer's orbit generator reported, on their way to the screen that draws them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace corvex {

struct PointRecord {
    int layer = 0;      // kernel part - 1
    int groupCount = 0; // four floats per group
    std::vector<float> values;
};

// Groups of four 32-bit words (a, b, c, d): a and b as 0..1, c and d as -1..1. A partial group at the end
// is not a point. Message thread.
std::shared_ptr<const PointRecord> makePointRecord(int part, const uint8_t* payload, size_t size);

} // namespace corvex
