// The four weights of a patch's feature vector, set in the "Generation settings" dialog and kept for the
// process only: every start begins with the same values.
#pragma once

#include <string_view>

namespace corvex {

struct MapWeights {
    float instrument = 1.0f;  // "Inst": the instrument type section, times 7
    float attributes = 10.0f; // "Att": shown and edited, used by nothing
    float parameters = 7.0f;  // "Par": the parameter section
    float matrix = 2.0f;      // "Matx": the matrix section

    // By the dialog's key; 0 for a key that names no weight, which set ignores.
    float get(std::string_view key) const;
    void set(std::string_view key, float value);
};

// The process's weights, which the next rebuild uses.
MapWeights& mapWeights();

} // namespace corvex
