// Dispatch of the per-type module operations by type code, and the per-type loader and setter tables.
#include "engine/modules/ModuleFramework.h"

#include <array>

#include "engine/modules/EngineContext.h"
#include "engine/modules/BlockBufferStore.h"
#include "engine/modules/ModulePools.h"

namespace corvex {

namespace {

void emptyLoader(const uint16_t*, int, ParameterRecord*, EngineContext*) {}
void emptySetter(int16_t, int, float*, int*, ParameterRecord*, EngineContext*) {}

ParameterRecord* hostedRecord(ParameterRecord* slotRecord) {
    return slotRecord ? slotRecord->as<EffectSlotParams>().inner : nullptr;
}

bool validType(int type) { return type >= 0 && type < kModuleTypeCount; }

PortEntry* portArray(void* module, int type) {
    if (type == 7) return static_cast<Type7ModuleHead*>(module)->ports;
    if (type == ModuleType::ValueSource) return &static_cast<ValueSourceModule*>(module)->port;
    return static_cast<PortedModule*>(module)->ports;
}

int ownPortCount(int type) { return type == ModuleType::ValueSource ? 1 : kPortCountByType[static_cast<size_t>(type)]; }

void initPorts(void* module, int type, EngineContext* context) {
    PortEntry* ports = portArray(module, type);
    const bool valuePorts = hasValuePorts(type);
    for (int i = 0; i < ownPortCount(type); ++i) {
        PortEntry& p = ports[i];
        p.word = (p.word & 0xF0000000u) | PortEntry::kClearPending | (valuePorts ? 0u : 5u);
        p.bufferIndex = -1;
        if (!valuePorts) {
            p.store = context ? context->store : nullptr;
            clearPortBuffer(p);
        } else {
            p.word &= ~PortEntry::kClearPending;
        }
    }
}

void releasePorts(void* module, int type) {
    PortEntry* ports = portArray(module, type);
    for (int i = 0; i < ownPortCount(type); ++i) {
        PortEntry& p = ports[i];
        while (p.users() > 0) releasePortUser(p);
        if (p.bufferIndex >= 0 && p.store != nullptr) {
            // A port acquired without users (should not happen) still gives its buffer back.
            p.setUsers(1);
            releasePortUser(p);
        }
        p.word &= 0xF0000000u;
        p.bufferIndex = -1;
    }
}

void initEffectSlot(EffectSlotModule& slot, ParameterRecord* record, EngineContext* context) {
    slot.hostedType = 0;
    slot.hostPool = nullptr;
    slot.hosted = nullptr;
    ParameterRecord* inner = hostedRecord(record);
    if (inner == nullptr || context == nullptr || context->pools == nullptr) return;
    const int hostedType = record->as<EffectSlotParams>().hostedType;
    if (!hasModule(hostedType) || hostedType == ModuleType::EffectSlot) return;
    // The hosted effect comes from its own type's pool: a large effect never lands in a small item.
    ModulePoolBase* pool = context->pools->poolForType(hostedType);
    void* hosted = pool ? pool->allocate() : nullptr;
    if (hosted == nullptr) return;
    slot.hostedType = hostedType;
    slot.hostPool = pool;
    slot.hosted = hosted;
    initModuleByType(hosted, hostedType, inner, 1, context);
}

} // namespace

BlockLoader blockLoaderFor(int type) {
    const BlockLoader load = moduleOps(type).load;
    return load ? load : emptyLoader;
}

ParameterSetter parameterSetterFor(int type) {
    const ParameterSetter set = moduleOps(type).set;
    return set ? set : emptySetter;
}

bool hasBlockLoader(int type) { return moduleOps(type).load != nullptr; }
bool hasParameterSetter(int type) { return moduleOps(type).set != nullptr; }

// The slot block carries the hosted effect's block from word 10; its type is the high byte of word 11.
void loadEffectSlotBlock(const uint16_t* data, int wordCount, ParameterRecord* record, EngineContext* context) {
    constexpr int kInnerStart = 10;
    if (record == nullptr || wordCount < kInnerStart + 3) return;
    auto& params = record->as<EffectSlotParams>();
    const uint16_t* inner = data + kInnerStart; // inner block word j sits at inner[j + 2]
    const int innerType = inner[2 + 1] >> 8;
    int innerCount = inner[2 + 2];
    if (innerCount > wordCount - kInnerStart) innerCount = wordCount - kInnerStart;
    params.hostedType = innerType;
    if (params.inner == nullptr) return;
    params.inner->type = static_cast<uint8_t>(innerType);
    blockLoaderFor(innerType)(inner, innerCount, params.inner, context);
}

void setEffectSlotParameter(int16_t value, int parameter, float* echoValue, int* echoCode, ParameterRecord* record,
                   EngineContext* context) {
    if (record == nullptr) return;
    const auto& params = record->as<EffectSlotParams>();
    parameterSetterFor(params.hostedType)(value, parameter, echoValue, echoCode, params.inner, context);
}

void initModuleByType(void* module, int type, ParameterRecord* record, int initArgument, EngineContext* context) {
    if (module == nullptr) return;
    ModuleHead& head = moduleHead(module);
    const uint32_t argumentBits = (static_cast<uint32_t>(initArgument) & 63u) << 11;
    if (!validType(type) || !hasModule(type)) {
        head.header = (head.header & ~(63u << 11)) | argumentBits;
        return;
    }
    head.context = context;
    head.record = record;
    if (type == ModuleType::EffectSlot) {
        initEffectSlot(*static_cast<EffectSlotModule*>(module), record, context);
    } else {
        initPorts(module, type, context);
        if (const ModuleInit init = moduleOps(type).init) init(module, context);
    }
    head.header = (static_cast<uint32_t>(type) << 3) | argumentBits;
}

void resetModuleByType(void* module) {
    if (module == nullptr) return;
    ModuleHead& head = moduleHead(module);
    const int type = head.type();
    switch (type) {
    case 0:
        return;
    case 2: case 6: case 8: case 41: case 42: case 59:
        return; // value ports hold no buffer
    case ModuleType::ValueSource:
        static_cast<ValueSourceModule*>(module)->port.value = 0.0f;
        return;
    case ModuleType::EffectSlot: {
        auto& slot = *static_cast<EffectSlotModule*>(module);
        if (slot.hosted != nullptr) {
            resetModuleByType(slot.hosted);
            // Give the hosted effect back too, or every effect change would leak one pool item.
            if (slot.hostPool) slot.hostPool->release(slot.hosted);
            slot.hosted = nullptr;
            slot.hostPool = nullptr;
        }
        return;
    }
    default:
        break;
    }
    if (!hasModule(type)) return;
    releasePorts(module, type);
    if (type == 3 || type == 4 || type == 7 || type == 9 || type == 22 || type == 58) head.header = 0;
}

PortEntry* modulePortAddress(void* module, int port) {
    if (module == nullptr || port < 0) return nullptr;
    const int type = moduleHead(module).type();
    if (type == ModuleType::ValueSource) return &static_cast<ValueSourceModule*>(module)->port;
    if (type == ModuleType::EffectSlot) return modulePortAddress(static_cast<EffectSlotModule*>(module)->hosted, port);
    if (!hasModule(type) || port >= ownPortCount(type)) return nullptr;
    return &portArray(module, type)[port];
}

void processModuleByType(void* module, const ConnectionDescriptor* descriptors, const PortEntry* const* sources,
                         const uint32_t* counts) {
    if (module == nullptr) return;
    const int type = moduleHead(module).type();
    if (type == ModuleType::EffectSlot) {
        processModuleByType(static_cast<EffectSlotModule*>(module)->hosted, descriptors, sources, counts);
        return;
    }
    if (const ModuleProcess process = moduleOps(type).process) process(module, descriptors, sources, counts);
}

} // namespace corvex
