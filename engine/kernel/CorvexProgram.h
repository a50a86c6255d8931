// One kernel part: its parameter records, flags and voice settings.
#pragma once

#include <cstdint>

#include "engine/modules/ModuleSlots.h"
#include "engine/modules/ParameterRecord.h"
#include "engine/kernel/NoteList.h"
#include "engine/modules/ModulePort.h"
#include "engine/modules/ConnectionManager.h"

namespace corvex {

struct EngineContext;
struct ModulePools;
struct VoiceRecord;

class Program {
public:
    virtual ~Program() = default;
    virtual void updateModuleStates() = 0;
    // Receives message type 35: two signed values for the part to interpret.
    virtual void programHook(int16_t, int16_t) {}
};

class CorvexProgram final : public Program {
public:
    static constexpr int kNoPart = -1;

    void reset();
    void updateModuleStates() override;

    ParameterRecord& record(int slot) { return records[slot]; }

    int32_t partNumber = kNoPart;
    int32_t midiChannel = 0;
    bool running = false;
    bool enabled = false;
    int32_t soundingVoices = 0;

    // Voice settings (the packed-flags block of slot 27 refines these).
    uint32_t voiceAssign = 0;
    uint8_t keyLow = 0;
    uint8_t keyHigh = 127;
    uint8_t voiceLimit = 32;
    uint8_t voiceOrder = 0;

    float bend = 0.0f;
    uint16_t pressureNote = 255;
    float pressureValue = 0.0f;
    int32_t lastNote = -1;

    int assignMode() const { return static_cast<int>(voiceAssign & 7u); }
    bool legato() const { return (voiceAssign & (1u << 5)) != 0; }
    int unison() const { return static_cast<int>((voiceAssign >> 10) & 7u); }

    EngineContext* context = nullptr;
    ModulePools* pools = nullptr;
    VoiceRecord* voices = nullptr;

    // One record per part slot, shared by every module instance of that slot in the part.
    ParameterRecord records[kPartSlotCount];

    // The part's wiring as the kernel received it; the manager derives the module order from it.
    ModuleManager connections;
    uint16_t connectionCount = 0;
    ConnectionRecord connectionList[kMaxConnections];

    // The part's shared modules (slots 20..31) and the sources of the records that feed them.
    void* partModules[kPartSlotCount - kVoiceSlotCount] = {};
    PortEntry* partBindings[kMaxConnections] = {};

    NoteList heldNotes;     // list A: keys down
    NoteList releasedNotes; // list B: released notes whose voices still sound
};

} // namespace corvex
