// Global rows of the multi: volume, balance, tuning, detune, holds, play modes and polyphony.
#include <memory>

#include "instrument/params/CorvanParameters.h"
#include "instrument/params/MultiMappers.h"
#include "instrument/params/ParameterRows.h"

namespace corvex {

namespace {

constexpr int kMultiRows[] = {ParameterIndex::kVolume,       ParameterIndex::kBalance,      ParameterIndex::kMasterTune,
                              ParameterIndex::kDetune,       ParameterIndex::kUpperHold,    ParameterIndex::kLowerHold,
                              ParameterIndex::kNotePriority, ParameterIndex::kUnisonVoices, ParameterIndex::kPitchWheel,
                              ParameterIndex::kPolyphony};
constexpr int kPlayModeRows[] = {ParameterIndex::kKeyMode, ParameterIndex::kSplitKey, ParameterIndex::kPolyMode,
                                 ParameterIndex::kArpeggioMode};

} // namespace

void addMultiRows(CorvanParameters& table) {
    auto multi = std::make_shared<CorvanMultiParamsMapper>(table.program(), table);
    for (int index : kMultiRows) table.placeGlobalMapper(index, multi);
    auto playModes = std::make_shared<PlayModeMapper>(table.program(), table);
    for (int index : kPlayModeRows) table.placeGlobalMapper(index, playModes);
}

} // namespace corvex
