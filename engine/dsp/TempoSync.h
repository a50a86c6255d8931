// Tempo-sync codes: how a normalised rate or time parameter locks to the song tempo.
#pragma once

namespace corvex {

// Returns -8 .. -2 (one cycle per |code| beats) or 1 .. 9 (code cycles per beat) from sixteen
// equal slices of 0 .. 1; values outside hold the end codes and NaN gives 9.
float mapParam16Segments(float x);

// Both conversions answer 0 when no tempo is running (tempo 0, negative or NaN) or the code is
// not a sync code: 0 reads as "cannot sync" and no caller divides by the tempo.
inline float tempoSyncFrequency(float code, float bpm) {
    if (!(bpm > 0.0f)) return 0.0f;
    if (code > 0.0f) return code * bpm / 60.0f;
    if (code < 0.0f) return bpm / (60.0f * -code);
    return 0.0f;
}

inline float tempoSyncPeriodSamples(float code, float bpm, float rate) {
    if (!(bpm > 0.0f)) return 0.0f;
    if (code > 0.0f) return 60.0f * rate / (code * bpm);
    if (code < 0.0f) return 60.0f * -code * rate / bpm;
    return 0.0f;
}

} // namespace corvex
