// The distortion's half-band interpolator states.
#include "engine/modules/types/DistortionInterpolator.h"

namespace corvex {

void HalfBandInterpolator::reset() {
    for (double& h : history) h = 0.0;
    next = 0;
}

void HalfBandInterpolator::window(double* oldestFirst) const {
    for (int m = 0; m < kHalfBandHistory; ++m) oldestFirst[m] = history[next + m];
}

// Laid out as if the oldest had been written at place 0: the next sample written leaves the same window.
void HalfBandInterpolator::setWindow(const double* oldestFirst) {
    for (int m = 0; m < kHalfBandHistory; ++m) history[m] = history[m + kHalfBandHistory] = oldestFirst[m];
    next = 0;
}

} // namespace corvex
