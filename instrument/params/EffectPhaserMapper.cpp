// The phaser's rows of an effect chain.
#include "instrument/params/EffectLineMappers.h"

#include <iterator>

namespace corvex {

namespace {

using namespace EffectRows;

constexpr int kFewestStages = 2;

constexpr EffectRow kRows[] = {
    word(48, "Phaser Dry/Wet", 13, kDiscrete),
    word(49, "Phaser Sweep Start", 9, kContinuous),
    amount(50, "Phaser Sweep Start Modulation Amount", 3),
    word(51, "Phaser Feedback", 8, kDiscrete),
    amount(52, "Phaser Feedback Modulation Amount", 4),
    word(53, "Phaser Sweep Amount", 10, kDiscrete),
    amount(54, "Phaser Sweep Amount Modulation Amount", 5),
    word(55, "Phaser Sweep Rate", 11, kContinuous),
    amount(56, "Phaser Sweep Rate Modulation Amount", 2),
    word(69, "Phaser Output", 18, kContinuous),
    source(310, "Phaser Sweep Start Modulation Source", 3, 50),
    source(311, "Phaser Feedback Modulation Source", 4, 52),
    source(312, "Phaser Sweep Amount Modulation Source", 5, 54),
    source(313, "Phaser Sweep Rate Modulation Source", 2, 56),
    stepped(339, "Phaser Bypass", 19, 2, kContinuous),
    stepped(340, "Phaser LFO Shape", 14, 4, kContinuous),
    // The module counts its stages from two: five steps give 2..6 stages.
    stepped(341, "Phaser Stages Number", 7, 5, kContinuous, kFewestStages),
    stepped(342, "Phaser Sync", 17, 2, kContinuous),
};

} // namespace

EffectPhaserMapper::EffectPhaserMapper(ParameterMapping& table, CorvanKernelProgram& program, int layer, int chain)
    : EffectLineMapper(table, program, layer, chain, kModuleSlots[chain], kRows, static_cast<int>(std::size(kRows))) {}

} // namespace corvex
