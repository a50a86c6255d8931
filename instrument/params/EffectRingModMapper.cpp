// The ring modulator's rows of an effect chain, and the extra input it needs while it is chosen.
#include "instrument/params/EffectLineMappers.h"

#include <iterator>

#include "engine/program/CorvanKernelProgram.h"

namespace corvex {

namespace {

using namespace EffectRows;

constexpr EffectRow kRows[] = {
    word(48, "RingMod Dry/Wet", 15, kDiscrete),
    word(49, "Ring Mod freq", 7, kContinuous),
    amount(50, "Ring Mod Mod freq Modulation Amount", 3),
    word(51, "Ring Mod amount", 8, kDiscrete),
    amount(52, "Ring Mod Mod amount Modulation Amount", 4),
    word(53, "Ring Mod Attack", 10, kDiscrete),
    word(55, "Ring Mod Decay", 12, kDiscrete),
    word(69, "Ring Mod Output", 16, kContinuous),
    source(320, "Ring Mod Mod freq Modulation Source", 3, 50),
    source(321, "Ring Mod Mod amount Modulation Source", 4, 52),
    stepped(343, "", 17, 2, kContinuous),
};

constexpr int kKind = 0;
constexpr uint16_t kAmount = 16384;
constexpr uint16_t kSecond = 0;

} // namespace

EffectRingModMapper::EffectRingModMapper(ParameterMapping& table, CorvanKernelProgram& program, int layer, int chain)
    : EffectLineMapper(table, program, layer, chain, kModuleSlots[chain], kRows, static_cast<int>(std::size(kRows))) {}

void EffectRingModMapper::onSelected() {
    program_.connect(part(), kFeedSlot, kFeedPort, kKind, moduleSlot_, kFeedInput, kAmount, kSecond);
}

void EffectRingModMapper::onDeselected() {
    program_.disconnect(part(), kFeedSlot, kFeedPort, kKind, moduleSlot_, kFeedInput);
}

} // namespace corvex
