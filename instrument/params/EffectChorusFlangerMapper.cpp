// The chorus/flanger's rows of an effect chain.
#include "instrument/params/EffectLineMappers.h"

#include <iterator>

#include "instrument/params/ParameterMapping.h"

namespace corvex {

namespace {

using namespace EffectRows;

constexpr int kTypeRow = 331;
constexpr int kTypeSteps = 4;

constexpr EffectRow kRows[] = {
    word(48, "Chorus Flanger Dry/Wet", 17, kDiscrete),
    word(49, "Chorus Flanger Delay", 8, kContinuous),
    amount(50, "Chorus Flanger Delay Modulation Amount", 2),
    word(51, "Chorus Flanger Feedback", 12, kDiscrete),
    amount(52, "Chorus Flanger Feedback Modulation Amount", 5),
    word(53, "Chorus Flanger Rate", 9, kContinuous),
    amount(54, "Chorus Flanger Rate Modulation Amount", 3),
    word(55, "Chorus Flanger Amount", 10, kDiscrete),
    amount(56, "Chorus Flanger Amount Modulation Amount", 4),
    word(57, "Chorus Flanger Spread", 13, kDiscrete),
    word(69, "Chorus Flanger Output", 18, kContinuous),
    source(260, "Chorus Flanger Delay Modulation Source", 2, 50),
    source(261, "Chorus Flanger Feedback  Modulation Source", 5, 52),
    source(262, "Chorus Flanger Rate  Modulation Source", 3, 54),
    source(263, "Chorus Flanger Amount  Modulation Source", 4, 56),
    stepped(329, "Chorus Flanger Bypass", 19, 2, kContinuous),
    stepped(330, "Chorus Flanger Sync", 16, 2, kContinuous),
    stepped(kTypeRow, "Chorus Flanger Type", 7, kTypeSteps, kDiscrete),
};

} // namespace

EffectChorusFlangerMapper::EffectChorusFlangerMapper(ParameterMapping& table, CorvanKernelProgram& program, int layer,
                                                     int chain)
    : EffectLineMapper(table, program, layer, chain, kModuleSlots[chain], kRows, static_cast<int>(std::size(kRows))) {}

std::string EffectChorusFlangerMapper::getText(int index, float value) const {
    if (EffectChain::fold(index) != kTypeRow) return EffectLineMapper::getText(index, value);
    return formatText("%d Stages", ParameterMapping::quantise(kTypeSteps, value) + 1);
}

} // namespace corvex
