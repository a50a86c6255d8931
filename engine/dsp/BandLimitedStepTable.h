// A minimum-phase band-limited unit step, 64 points per sample, that oscillators add at every discontinuity.
#pragma once

namespace corvex {

namespace BandLimitedStep {
constexpr int kPhases = 64; // table points per sample
constexpr int kSpan = 32;   // samples the step takes to settle
// The step itself, then one sample of 1.0 so that a read up to two samples late stays inside.
constexpr int kSize = kPhases * kSpan + kPhases;
// The same step by rows: row j holds entries j, j + 64, j + 128, ..., so that the points one step
// adds to a run of samples lie side by side. Rows for every start of the first two samples.
constexpr int kRows = 2 * kPhases + 1;
constexpr int kRowLength = kSpan;
} // namespace BandLimitedStep

namespace detail {
extern float gBandLimitedStep[BandLimitedStep::kSize];
extern float gBandLimitedStepRows[BandLimitedStep::kRows][BandLimitedStep::kRowLength];
} // namespace detail

// Fills the table the first time it is called and does nothing after that; safe to call from
// several threads at once. The kernel calls it while it is being built, never while it renders.
void prepareBandLimitedStepTable();

// Entry n is the step's value n/64 samples after it starts: 0.0 at entry 0, settled at 1.0 by the
// end. The array stays the same for the life of the program (all zeros until prepared).
inline const float* bandLimitedStepTable() { return detail::gBandLimitedStep; }

// Row j of the table by rows: entry k is entry j + 64 k of the table, 1.0 past its end.
inline const float* bandLimitedStepRow(int j) { return detail::gBandLimitedStepRows[j]; }

} // namespace corvex
