// One of the kernel's 32 voices, shared by all parts; a voice belongs to one part while it sounds.
#pragma once

#include <cstdint>

#include "engine/modules/ModulePort.h"
#include "engine/modules/ModuleSlots.h"
#include "engine/modules/ConnectionRecord.h"

namespace corvex {

struct EngineContext;
struct ModulePools;
class CorvexProgram;

constexpr int kVoiceCount = 32;

struct VoiceRecord {
    static constexpr int kFreeOwner = 31;
    enum State : uint8_t { Free = 0, Sounding = 1, Releasing = 2, Finished = 3 };

    uint8_t index = 0;
    uint8_t ownerPart = kFreeOwner;
    State state = Free;
    uint8_t note = 0xFF;
    uint8_t velocity = 0;
    uint8_t releasePending = 0;
    CorvexProgram* owner = nullptr;
    uint32_t orderKey = 0;

    EngineContext* context = nullptr;
    ModulePools* pools = nullptr;

    // The voice's own modules by slot, and one source binding per record of its part's list
    // (null for records that feed no module of the voice).
    void* modules[kVoiceSlotCount] = {};
    PortEntry* bindings[kMaxConnections] = {};
    bool built = false;
    bool recycled = false;
};

} // namespace corvex
