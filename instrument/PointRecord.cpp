// Trajectory points a layer's orbit generator reported.
#include "instrument/PointRecord.h"

#include <cstring>

namespace corvex {

namespace {
constexpr float kWordScale = 1.0f / 16384.0f;
constexpr size_t kGroupBytes = 16;
} // namespace

std::shared_ptr<const PointRecord> makePointRecord(int part, const uint8_t* payload, size_t size) {
    auto record = std::make_shared<PointRecord>();
    const size_t groups = payload != nullptr ? size / kGroupBytes : 0;
    record->layer = part - 1;
    record->groupCount = static_cast<int>(groups);
    record->values.reserve(groups * 4);
    for (size_t g = 0; g < groups; ++g) {
        uint32_t w[4];
        std::memcpy(w, payload + g * kGroupBytes, sizeof w);
        record->values.push_back(static_cast<float>(w[0]) * kWordScale);
        record->values.push_back(static_cast<float>(w[1]) * kWordScale);
        record->values.push_back((static_cast<float>(w[2]) * kWordScale - 0.5f) * 2.0f);
        record->values.push_back((static_cast<float>(w[3]) * kWordScale - 0.5f) * 2.0f);
    }
    return record;
}

} // namespace corvex
