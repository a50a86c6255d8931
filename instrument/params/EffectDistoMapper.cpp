// The distortion's rows of an effect chain.
#include "instrument/params/EffectLineMappers.h"

#include <iterator>

namespace corvex {

namespace {

using namespace EffectRows;

constexpr EffectRow kRows[] = {
    word(48, "Distortion Dry/Wet", 14, kDiscrete),
    word(49, "Distortion Drive", 8, kDiscrete),
    amount(50, "Distortion Drive Modulation Amount", 2),
    word(51, "Distortion Feedback", 7, kDiscrete),
    amount(52, "Distortion Feedback Modulation Amount", 3),
    word(53, "Distortion Symetry", 15, kDiscrete),
    stepped(67, "Distortion Quality", 12, 2, kDiscrete),
    word(69, "Distortion Output", 17, kContinuous),
    source(280, "Distortion Drive Modulation Source", 2, 50),
    source(281, "Distortion Feedback Modulation Source", 3, 52),
    stepped(332, "Distortion Bypass", 18, 2, kContinuous),
};

} // namespace

EffectDistoMapper::EffectDistoMapper(ParameterMapping& table, CorvanKernelProgram& program, int layer, int chain)
    : EffectLineMapper(table, program, layer, chain, kModuleSlots[chain], kRows, static_cast<int>(std::size(kRows))) {}

} // namespace corvex
