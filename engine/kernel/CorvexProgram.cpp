#include "engine/kernel/CorvexProgram.h"

#include "engine/modules/ModuleTypes.h"

namespace corvex {

void CorvexProgram::reset() {
    running = false;
    enabled = false;
    soundingVoices = 0;
    voiceAssign = 0;
    keyLow = 0;
    keyHigh = 127;
    voiceLimit = 32;
    voiceOrder = 0;
    bend = 0.0f;
    pressureNote = 255;
    pressureValue = 0.0f;
    lastNote = -1;
    for (int slot = 0; slot < kPartSlotCount; ++slot) setRecordHeader(records[slot], slot, partNumber + 1);
    connectionCount = 0;
    connections.attach(connectionList, &connectionCount);
    connections.rebuild();
    updateModuleStates();
}

// Value sources run after the voices so that their edges are seen by every voice of the block.
void CorvexProgram::updateModuleStates() {
    for (auto& r : records) r.phase = (r.type == ModuleType::ValueSource) ? 1 : 0;
}

} // namespace corvex
