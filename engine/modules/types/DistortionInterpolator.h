// The distortion's half-band interpolator states: the newest real samples of a zero-stuffed signal.
#pragma once

#include <cstdint>

#include "engine/dsp/HalfBandTaps.h"

namespace corvex {

// The zero-stuffed stream x, 0, x, 0 ... split into its two phases: the even taps meet the real
// samples as one is written, the odd taps (the centre among them) as the zero after it is written.
// Each sample is kept twice, half a buffer apart, so that the newest ones always lie side by side.
// The filtering itself runs in the voice lanes, over the window taken out at a block's start.
struct HalfBandInterpolator {
    double history[2 * kHalfBandHistory];
    int32_t next; // where the next real sample goes; also the oldest one's place

    void reset();
    // The newest kHalfBandHistory samples, oldest first, out and back in.
    void window(double* oldestFirst) const;
    void setWindow(const double* oldestFirst);
};

} // namespace corvex
