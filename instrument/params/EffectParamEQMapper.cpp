// The parametric equaliser's rows of an effect chain: ten bands' parameters, each with its own
// modulation input, amount and source.
#include "instrument/params/EffectLineMappers.h"

#include <iterator>

namespace corvex {

namespace {

using namespace EffectRows;

// Band parameter k sits at folded 49 + 2k and drives word 7 + k; its modulation amount sits at
// 50 + 2k, its source at 300 + k, both on module input 2 + k.
constexpr EffectRow kRows[] = {
    word(48, "EQ Dry/Wet", 21, kDiscrete),
    word(49, "EQ LF shelf cutoff", 7, kContinuous),
    amount(50, "EQ LF shelf cutoff Modulation Amount", 2),
    word(51, "EQ LF shelf gain", 8, kContinuous),
    amount(52, "EQ LF shelf gain Modulation Amount", 3),
    word(53, "EQ Peak 1 frequency", 9, kContinuous),
    amount(54, "EQ Peak 1 frequency Modulation Amount", 4),
    word(55, "EQ Peak 1 gain", 10, kContinuous),
    amount(56, "EQ Peak 1 gain Modulation Amount", 5),
    word(57, "EQ Peak 1 Q", 11, kContinuous),
    amount(58, "EQ Peak 1 Q Modulation Amount", 6),
    word(59, "EQ Peak 2 frequency", 12, kContinuous),
    amount(60, "EQ Peak 2 frequency Modulation Amount", 7),
    word(61, "EQ Peak 2 gain", 13, kContinuous),
    amount(62, "EQ Peak 2 gain Modulation Amount", 8),
    word(63, "EQ Peak 2 Q", 14, kContinuous),
    amount(64, "EQ Peak 2 Q Modulation Amount", 9),
    word(65, "EQ HF shelf cutoff", 15, kContinuous),
    amount(66, "EQ HF shelf cutoff Modulation Amount", 10),
    word(67, "EQ HF shelf gain", 16, kContinuous),
    amount(68, "EQ HF shelf gain Modulation Amount", 11),
    word(69, "EQ Output", 23, kContinuous),
    source(300, "EQ LF shelf cutoff Modulation Source", 2, 50),
    source(301, "EQ LF shelf gain Modulation Source", 3, 52),
    source(302, "EQ Peak 1 frequency Modulation Source", 4, 54),
    source(303, "EQ Peak 1 gain Modulation Source", 5, 56),
    source(304, "EQ Peak 1 Q Modulation Source", 6, 58),
    source(305, "EQ Peak 2 frequency Modulation Source", 7, 60),
    source(306, "EQ Peak 2 gain Modulation Source", 8, 62),
    source(307, "EQ Peak 2 Q Modulation Source", 9, 64),
    source(308, "EQ HF shelf cutoff Modulation Source", 10, 66),
    source(309, "EQ HF shelf gain Modulation Source", 11, 68),
    stepped(334, "EQ bypass", 24, 2, kContinuous),
    stepped(335, "EQ LF Shelf On/Off", 17, 2, kContinuous),
    stepped(336, "EQ Peak 1 On/Off", 18, 2, kContinuous),
    stepped(337, "EQ Peak 2 On/Off", 19, 2, kContinuous),
    stepped(338, "EQ HF Shelf On/Off", 20, 2, kContinuous),
};

} // namespace

EffectParamEQMapper::EffectParamEQMapper(ParameterMapping& table, CorvanKernelProgram& program, int layer, int chain)
    : EffectLineMapper(table, program, layer, chain, kModuleSlots[chain], kRows, static_cast<int>(std::size(kRows))) {}

} // namespace corvex
