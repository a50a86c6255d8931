// What every module type shares: the module head, the port layout and dispatch by type code.
#pragma once

#include <cstdint>

#include "engine/modules/ModulePort.h"
#include "engine/modules/ModuleTypes.h"
#include "engine/modules/ParameterRecord.h"

namespace corvex {

struct EngineContext;
struct ConnectionDescriptor;
class ModulePoolBase;

// Header word: bits 3..8 type code, bits 11..16 init argument (voice index, or 1 for a hosted effect).
struct ModuleHead {
    EngineContext* context;
    ParameterRecord* record;
    uint32_t header;

    int type() const { return static_cast<int>((header >> 3) & 63u); }
    int initArgument() const { return static_cast<int>((header >> 11) & 63u); }
};

// The layout of most module types: the head, then the output ports, then the type's own state.
struct PortedModule {
    ModuleHead head;
    PortEntry ports[kMaxPortsPerModule];
};

// A value source publishes one float and keeps the target it moves towards.
struct ValueSourceModule {
    ModuleHead head;
    PortEntry port;
    float target;
};

// Type 7 keeps two words of its own ahead of its ports.
struct Type7ModuleHead {
    ModuleHead head;
    uint32_t extra[2];
    PortEntry ports[3];
};

// An effect slot owns no ports: it hosts an effect module taken from that effect type's pool.
struct EffectSlotModule {
    ModuleHead head;
    int32_t hostedType;
    ModulePoolBase* hostPool;
    void* hosted;
};

// The effect slot's record names the hosted type and leads to the hosted effect's own record.
struct EffectSlotParams {
    int32_t hostedType;
    ParameterRecord* inner;
};

using BlockLoader = void (*)(const uint16_t* data, int wordCount, ParameterRecord* record, EngineContext* context);
using ParameterSetter = void (*)(int16_t value, int parameter, float* echoValue, int* echoCode,
                                 ParameterRecord* record, EngineContext* context);

// Both tables have an entry for every code; codes without the operation share an empty function.
BlockLoader blockLoaderFor(int type);
ParameterSetter parameterSetterFor(int type);
bool hasBlockLoader(int type);
bool hasParameterSetter(int type);

void initModuleByType(void* module, int type, ParameterRecord* record, int initArgument, EngineContext* context);
void resetModuleByType(void* module);
PortEntry* modulePortAddress(void* module, int port);
void processModuleByType(void* module, const ConnectionDescriptor* descriptors, const PortEntry* const* sources,
                         const uint32_t* counts);

inline ModuleHead& moduleHead(void* module) { return *static_cast<ModuleHead*>(module); }

} // namespace corvex
