// Controller codes (plain CC, NRPN, RPN) and the parameter index range they can drive.
#pragma once

#include <cstdint>

#include "instrument/params/ParameterIndex.h"

namespace corvex {

constexpr int kMidiParameterCount = ParameterIndex::kCount;
constexpr int32_t kNrpnBase = 0x8000;
constexpr int32_t kRpnBase = 0x10000;
constexpr int kNoController = -1;

constexpr int32_t nrpnCode(int msb, int lsb) { return kNrpnBase | ((msb & 0x7F) << 7) | (lsb & 0x7F); }
constexpr int32_t rpnCode(int msb, int lsb) { return kRpnBase | ((msb & 0x7F) << 7) | (lsb & 0x7F); }

constexpr bool isValidControllerCode(long long code) {
    return (code >= 0 && code <= 127) || (code >= kNrpnBase && code < kNrpnBase + 0x4000) ||
           (code >= kRpnBase && code < kRpnBase + 0x4000);
}

constexpr bool isValidParameterIndex(long long index) { return index >= 0 && index < kMidiParameterCount; }

} // namespace corvex
