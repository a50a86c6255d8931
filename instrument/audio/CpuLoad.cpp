// The smoothed share of real time that block processing takes, in percent, for the editor's meter.
#include "instrument/audio/CpuLoad.h"

#include <algorithm>
#include <cmath>

namespace corvex {
namespace {

// A stalled thread (a debugger, a suspended laptop) must not overflow the int.
constexpr double kMaxPercent = 100000.0;

} // namespace

void CpuLoad::update(double elapsedMs, int samples, double sampleRate) {
    if (samples <= 0 || !std::isfinite(sampleRate) || sampleRate <= 0.0 || !std::isfinite(elapsedMs)) return;
    const double blockMs = samples / (sampleRate * 0.001);
    // 0.2 of this block's share plus 0.8 of the previous value (0.008 of a percent figure).
    const double load = (elapsedMs / blockMs * 0.2 + percent_.load(std::memory_order_relaxed) * 0.008) * 100.0;
    percent_.store(static_cast<int>(std::clamp(load, 0.0, kMaxPercent)), std::memory_order_relaxed);
}

} // namespace corvex
