// A minimum-phase band-limited unit step, 64 points per sample, that oscillators add at every discontinuity.
#pragma once

namespace corvex {

namespace BandLimitedStep {
constexpr int kPhases = 64; // table points per sample
constexpr int kSpan = 32;   // samples the step takes to settle
// The step itself, then one sample of 1.0 so that a read up to two samples late stays inside.
constexpr int kSize = kPhases * kSpan + kPhases;
} // namespace BandLimitedStep

namespace detail {
extern float gBandLimitedStep[BandLimitedStep::kSize];
} // namespace detail

// Fills the table the first time it is called and does nothing after that; safe to call from
// several threads at once. The kernel calls it while it is being built, never while it renders.
void prepareBandLimitedStepTable();

// Entry n is the step's value n/64 samples after it starts: 0.0 at entry 0, settled at 1.0 by the
// end. The array stays the same for the life of the program (all zeros until prepared).
inline const float* bandLimitedStepTable() { return detail::gBandLimitedStep; }

} // namespace corvex
