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

// The voice output stage keeps the part's two bus buffers ahead of its ports; the voice render
// sets them before every block.
struct Type7ModuleHead {
    ModuleHead head;
    float* leftBus;
    float* rightBus;
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

// A block loader finds block word j at data[j + 2]; wordCount is the block's length.
using BlockLoader = void (*)(const uint16_t* data, int wordCount, ParameterRecord* record, EngineContext* context);
// A setter stores one parameter word and reports the resulting value and its display code through
// echoCode, which arrives holding the word itself.
using ParameterSetter = void (*)(int16_t value, int parameter, float* echoValue, int* echoCode,
                                 ParameterRecord* record, EngineContext* context);
// A type's own initialisation, after the framework has set the head and the ports.
using ModuleInit = void (*)(void* module, EngineContext* context);
// One 32-frame block; descriptors, sources and counts describe the module's input connections
// (null for a module without inputs).
using ModuleProcess = void (*)(void* module, const ConnectionDescriptor* descriptors, const PortEntry* const* sources,
                               const uint32_t* counts);

// The operations of one type code; a null entry means the type has no such operation.
struct ModuleOps {
    ModuleInit init = nullptr;
    ModuleProcess process = nullptr;
    BlockLoader load = nullptr;
    ParameterSetter set = nullptr;
};

// The per-type operations, indexed by type code (ModuleTypeTable.cpp lists them).
const ModuleOps& moduleOps(int type);

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

// The effect slot's loader and setter hand the hosted effect's block and words to the hosted type.
void loadEffectSlotBlock(const uint16_t* data, int wordCount, ParameterRecord* record, EngineContext* context);
void setEffectSlotParameter(int16_t value, int parameter, float* echoValue, int* echoCode, ParameterRecord* record,
                            EngineContext* context);

} // namespace corvex
