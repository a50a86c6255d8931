// Tempo-sync codes: how a normalised rate or time parameter locks to the song tempo.
#include "engine/dsp/TempoSync.h"

namespace corvex {

float mapParam16Segments(float x) {
    // Strict comparisons against k/16 let NaN fall through every slice to the fastest code, whose
    // period is the shortest and so fits any delay line.
    for (int k = 1; k < 16; ++k) {
        if (x < float(k) * 0.0625f) {
            const int slice = k - 1;
            // There is no code 0 or -1: slice 7 is already one cycle per beat.
            return float(slice < 7 ? slice - 8 : slice - 6);
        }
    }
    return 9.0f;
}

} // namespace corvex
