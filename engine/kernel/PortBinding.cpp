#include "engine/kernel/PortBinding.h"

#include "engine/dsp/ConnectionDescriptor.h"
#include "engine/modules/BlockBufferStore.h"
#include "engine/modules/ModuleFramework.h"

namespace corvex {

int bindPort(PortEntry*& binding, PortEntry* port) {
    binding = nullptr;
    if (port == nullptr) return 0;
    if (port->flags() != 0) {
        acquirePortBuffer(*port);
        if (port->bufferIndex < 0) {
            releasePortUser(*port);
            return -1;
        }
    } else {
        port->setUsers(port->users() + 1);
    }
    binding = port;
    return 0;
}

void unbindPort(PortEntry*& binding) {
    PortEntry* port = binding;
    binding = nullptr;
    if (port == nullptr) return;
    if (port->flags() != 0)
        releasePortUser(*port);
    else if (port->users() > 0)
        port->setUsers(port->users() - 1);
}

void processSlot(void* module, int slot, const ModuleManager& m, PortEntry* const* bindings) {
    const int first = m.firstRecordOf(slot);
    if (first == kNone) {
        processModuleByType(module, nullptr, nullptr, nullptr);
        return;
    }
    const auto* descriptors = reinterpret_cast<const ConnectionDescriptor*>(m.records() + first);
    processModuleByType(module, descriptors, bindings + first, m.inputCounters(slot));
}

} // namespace corvex
