// Binding a connection record to its source port, and running one module over its bound inputs.
#pragma once

#include "engine/modules/ConnectionManager.h"
#include "engine/modules/ModulePort.h"

namespace corvex {

// Takes the port for a record: a buffer port gets a store buffer for its first reader, a value port
// only counts its readers. Answers -1 when no buffer is left (the binding stays null).
int bindPort(PortEntry*& binding, PortEntry* port);
// Gives back what bindPort took; a null binding is left alone.
void unbindPort(PortEntry*& binding);
// Processes the module in `slot` with the records of `connections` that feed it and their bindings.
// The caller puts the list's modulation scales in force (ScopedModulationScales) around a run of
// these; without them the sums work each scale out afresh.
void processSlot(void* module, int slot, const ModuleManager& connections, PortEntry* const* bindings);

} // namespace corvex
