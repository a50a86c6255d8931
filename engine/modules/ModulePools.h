// The seven module pools of a kernel, each sized for the module types it serves.
#pragma once

#include <cstddef>
#include <memory>

#include "engine/modules/ModulePool.h"
#include "engine/modules/types/Oscillator.h"

namespace corvex {

// Raw storage for one pooled module. Each module type checks with a static_assert that it fits
// the storage of its pool; the sizes grow as module types are added.
template <size_t Bytes>
struct alignas(16) ModuleStorage {
    unsigned char bytes[Bytes];
};

using VoiceModuleWrapperA = ModuleStorage<1024>;
using VoiceModuleWrapperB = ModuleStorage<512>;
using VoiceModuleWrapperC = ModuleStorage<1024>;
using VoiceModuleWrapperD = ModuleStorage<512>;
// Eight delay lines of 8192 samples and their state: the chorus.
using VoiceModuleWrapperE = ModuleStorage<262656>;
// The master effects that carry long sample buffers: sized for the largest, the delay's two 16-second
// float lines and its state; the reverb's network and pre-delay lines (3.6 MB, in double) fit too.
using VoiceModuleWrapperF = ModuleStorage<2 * 705600 * 4 + 4096>;

constexpr int kModulePoolCount = 7;

struct ModulePools {
    // Two oscillators per voice for 32 voices fill pool 0 exactly; pool 1 holds what 32 voices with
    // both insert chains need (180 items) with headroom.
    ModulePool<COscillator, 64> oscillators;
    ModulePool<VoiceModuleWrapperA, 192> wrappersA;
    ModulePool<VoiceModuleWrapperB, 170> wrappersB;
    ModulePool<VoiceModuleWrapperC, 170> wrappersC;
    ModulePool<VoiceModuleWrapperD, 170> wrappersD;
    // 18 MB of chorus lines live apart from the kernel object, which tests and hosts may keep on a
    // stack. Under the allocator's 32 MB mapping limit they come back from the heap on the next
    // kernel instead of being mapped and faulted in afresh.
    using ChorusPool = ModulePool<VoiceModuleWrapperE, 68>;
    std::unique_ptr<ChorusPool> wrappersE = std::make_unique<ChorusPool>();
    // 28 MB of master-effect lines, kept off the kernel object for the same reasons.
    using MasterEffectPool = ModulePool<VoiceModuleWrapperF, 5>;
    std::unique_ptr<MasterEffectPool> wrappersF = std::make_unique<MasterEffectPool>();

    ModulePoolBase* table[kModulePoolCount] = {&oscillators, &wrappersA,       &wrappersB,      &wrappersC,
                                               &wrappersD,   wrappersE.get(), wrappersF.get()};

    ModulePools() = default;
    ModulePools(const ModulePools&) = delete;
    ModulePools& operator=(const ModulePools&) = delete;

    ModulePoolBase* pool(int index) const {
        return (index >= 0 && index < kModulePoolCount) ? table[index] : nullptr;
    }
    ModulePoolBase* poolForType(int type) const;
};

} // namespace corvex
