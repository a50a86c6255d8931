// Global rows of the multi: volume, balance, tuning, detune, holds, play modes and polyphony.
#include <memory>

#include "instrument/params/CorvanParameters.h"
#include "instrument/params/MultiMappers.h"
#include "instrument/params/ParameterRows.h"

namespace corvex {

namespace {

constexpr int kMultiRows[] = {MultiRow::Volume,       MultiRow::Balance,      MultiRow::MasterTune,
                              MultiRow::Detune,       MultiRow::UpperHold,    MultiRow::LowerHold,
                              MultiRow::NotePriority, MultiRow::UnisonVoices, MultiRow::PitchWheel,
                              MultiRow::Polyphony};
constexpr int kPlayModeRows[] = {MultiRow::KeyMode, MultiRow::SplitKey, MultiRow::PolyMode, MultiRow::ArpeggioMode};

} // namespace

void addMultiRows(CorvanParameters& table) {
    auto multi = std::make_shared<CorvanMultiParamsMapper>(table.program(), table);
    for (int index : kMultiRows) table.placeGlobalMapper(index, multi);
    auto playModes = std::make_shared<PlayModeMapper>(table.program(), table);
    for (int index : kPlayModeRows) table.placeGlobalMapper(index, playModes);
}

} // namespace corvex
