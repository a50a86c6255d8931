// The operations of every module type, by type code: the one place that knows all module types.
#include <array>

#include "engine/modules/ModuleFramework.h"

namespace corvex {

namespace {

constexpr std::array<ModuleOps, kModuleTypeCount> kModuleOps = [] {
    std::array<ModuleOps, kModuleTypeCount> ops{};
    ops[ModuleType::EffectSlot] = ModuleOps{nullptr, nullptr, loadEffectSlotBlock, setEffectSlotParameter};
    return ops;
}();

const ModuleOps kNoOps{};

} // namespace

const ModuleOps& moduleOps(int type) {
    return (type >= 0 && type < kModuleTypeCount) ? kModuleOps[static_cast<size_t>(type)] : kNoOps;
}

} // namespace corvex
