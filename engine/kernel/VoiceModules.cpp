// Building, binding, rendering and freeing the modules of voices and parts.
#include <algorithm>

#include "engine/kernel/CorvexProgram.h"
#include "engine/kernel/SoftwareKernel.h"
#include "engine/modules/BlockBufferStore.h"
#include "engine/modules/types/Envelope.h"
#include "engine/modules/types/ValueSource.h"
#include "engine/modules/types/VoiceControl.h"

namespace corvex {

namespace {

constexpr int kHoldingEnvelopeSlot = 6; // "Env 2" decides when a released voice is over

int slotType(int slot) { return kModuleSlots[static_cast<size_t>(slot)].type; }

bool envelopeFinished(const void* envelope) {
    return (static_cast<const EnvelopeModule*>(envelope)->stageWord & 7u) == EnvelopeStage::Finished;
}

} // namespace

void* SoftwareKernel::moduleAtSlot(CorvexProgram& part, VoiceRecord* voice, int slot) {
    if (slot < 0 || slot >= kModuleSlotCount) return nullptr;
    if (slot < kVoiceSlotCount) return voice ? voice->modules[slot] : nullptr;
    if (slot < kPartSlotCount) return part.partModules[slot - kVoiceSlotCount];
    return globalModules_[slot - kFirstGlobalSlot];
}

PortEntry* SoftwareKernel::sourcePort(CorvexProgram& part, VoiceRecord* voice, const ConnectionRecord& record) {
    void* source = moduleAtSlot(part, voice, record.sourceSlot());
    return source ? modulePortAddress(source, record.sourcePort()) : nullptr;
}

// A buffer port takes a store buffer for its first reader; a value port only counts its readers.
int SoftwareKernel::bindRecord(PortEntry*& binding, PortEntry* port) {
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

void SoftwareKernel::unbindRecord(PortEntry*& binding) {
    PortEntry* port = binding;
    binding = nullptr;
    if (port == nullptr) return;
    if (port->flags() != 0)
        releasePortUser(*port);
    else if (port->users() > 0)
        port->setUsers(port->users() - 1);
}

// Brings a voice in line with its part's list: every voice module the list places exists, nothing
// else does, and every record into one of its modules is bound to its source. A fresh voice is built
// this way; after a live edit the same step patches a sounding one.
int SoftwareKernel::patchVoice(VoiceRecord& voice, CorvexProgram& part) {
    const ModuleManager& m = part.connections;
    for (int position = 0; position < m.voiceModules(); ++position) {
        const int slot = m.moduleAt(position);
        if (voice.modules[slot] != nullptr) continue;
        ModulePoolBase* pool = pools_.pool(m.poolAt(position));
        if (pool == nullptr) return -2;
        void* module = pool->allocate();
        if (module == nullptr) return -1;
        voice.modules[slot] = module;
        initModuleByType(module, slotType(slot), &part.record(slot), voice.index, &context_);
        if (slot == SlotIndex::VoiceControl)
            voiceControlAttach(module, &part.bend, &part.pressureNote, &part.pressureValue);
    }
    voice.built = true;
    for (int r = 0; r < m.count(); ++r) {
        const int destination = m.record(r).destinationSlot();
        const bool feedsVoice = destination < kVoiceSlotCount && m.positionOf(destination) != kNone;
        if (!feedsVoice) unbindRecord(voice.bindings[r]);
    }
    for (int slot = 0; slot < kVoiceSlotCount; ++slot) {
        void*& module = voice.modules[slot];
        if (module == nullptr || m.positionOf(slot) != kNone) continue;
        resetModuleByType(module);
        if (ModulePoolBase* pool = pools_.poolForType(slotType(slot))) pool->release(module);
        module = nullptr;
    }
    for (int r = 0; r < m.count(); ++r) {
        const ConnectionRecord& record = m.record(r);
        const int destination = record.destinationSlot();
        if (destination >= kVoiceSlotCount || voice.modules[destination] == nullptr || voice.bindings[r]) continue;
        if (bindRecord(voice.bindings[r], sourcePort(part, &voice, record)) < 0) return -1;
    }
    return 0;
}

// The same for the part's shared modules (slots 20..31), which an edit creates but never removes.
int SoftwareKernel::patchPart(CorvexProgram& part) {
    const ModuleManager& m = part.connections;
    for (int slot = kVoiceSlotCount; slot < kPartSlotCount; ++slot) {
        const int position = m.positionOf(slot);
        void*& module = part.partModules[slot - kVoiceSlotCount];
        if (position == kNone || module != nullptr) continue;
        ModulePoolBase* pool = pools_.pool(m.poolAt(position));
        if (pool == nullptr) return -2;
        module = pool->allocate();
        if (module == nullptr) return -1;
        initModuleByType(module, slotType(slot), &part.record(slot), 0, &context_);
    }
    for (int r = 0; r < m.count(); ++r) {
        const ConnectionRecord& record = m.record(r);
        const int destination = record.destinationSlot();
        const bool feedsPart = destination >= kVoiceSlotCount && destination < kPartSlotCount &&
                               part.partModules[destination - kVoiceSlotCount] != nullptr;
        if (!feedsPart) {
            unbindRecord(part.partBindings[r]);
            continue;
        }
        if (part.partBindings[r] == nullptr && bindRecord(part.partBindings[r], sourcePort(part, nullptr, record)) < 0)
            return -1;
    }
    return 0;
}

// Any failure undoes the whole voice: a half-built voice would play with missing modules.
int SoftwareKernel::buildVoice(VoiceRecord& voice, CorvexProgram& part) {
    const int result = patchVoice(voice, part);
    if (result < 0) releaseVoice(voice, part);
    return result;
}

void SoftwareKernel::releaseVoice(VoiceRecord& voice, CorvexProgram&) {
    for (PortEntry*& binding : voice.bindings) unbindRecord(binding);
    for (int slot = 0; slot < kVoiceSlotCount; ++slot) {
        void* module = voice.modules[slot];
        if (module == nullptr) continue;
        resetModuleByType(module);
        if (ModulePoolBase* pool = pools_.poolForType(slotType(slot))) pool->release(module);
        voice.modules[slot] = nullptr;
    }
    voice.built = false;
}

void SoftwareKernel::processSlot(void* module, int slot, const ModuleManager& m, PortEntry* const* bindings) {
    const int first = m.firstRecordOf(slot);
    if (first == kNone) {
        processModuleByType(module, nullptr, nullptr, nullptr);
        return;
    }
    const auto* descriptors = reinterpret_cast<const ConnectionDescriptor*>(m.records() + first);
    processModuleByType(module, descriptors, bindings + first, m.inputCounters(slot));
}

void SoftwareKernel::renderVoice(VoiceRecord& voice, float* left, float* right) {
    CorvexProgram* part = program(voice.ownerPart);
    if (part == nullptr || !voice.built) return;
    const ModuleManager& m = part->connections;
    const int count = m.voiceModules();

    for (int p = 0; p < count; ++p) {
        const int slot = m.moduleAt(p);
        if (slotType(slot) == ModuleType::Envelope) processSlot(voice.modules[slot], slot, m, voice.bindings);
    }
    if (voice.state == VoiceRecord::Releasing) {
        void* env = voice.modules[kHoldingEnvelopeSlot];
        if (env == nullptr || envelopeFinished(env)) {
            voice.state = VoiceRecord::Finished;
            return;
        }
    }
    if (void* control = voice.modules[SlotIndex::VoiceControl])
        processSlot(control, SlotIndex::VoiceControl, m, voice.bindings);
    for (int p = 0; p < count; ++p) {
        const int slot = m.moduleAt(p);
        const int type = slotType(slot);
        if (type == ModuleType::ValueSource || type == ModuleType::VoiceControl || type == ModuleType::Envelope || type == ModuleType::VoiceOutput) continue;
        processSlot(voice.modules[slot], slot, m, voice.bindings);
    }
    for (int p = 0; p < count; ++p) {
        const int slot = m.moduleAt(p);
        if (slotType(slot) != ModuleType::VoiceOutput || voice.modules[slot] == nullptr) continue;
        auto* stage = static_cast<Type7ModuleHead*>(voice.modules[slot]);
        stage->leftBus = left;
        stage->rightBus = right;
        processSlot(stage, slot, m, voice.bindings);
    }
    if (void* gate = voice.modules[SlotIndex::VoiceValueSource])
        processSlot(gate, SlotIndex::VoiceValueSource, m, voice.bindings);
    voice.releasePending = 0;
}

void SoftwareKernel::runPartModules(CorvexProgram& part, int phase) {
    const ModuleManager& m = part.connections;
    const int first = m.voiceModules();
    for (int p = first; p < first + m.partModules(); ++p) {
        const int slot = m.moduleAt(p);
        void* module = part.partModules[slot - kVoiceSlotCount];
        if (module == nullptr || part.record(slot).phase != phase) continue;
        processSlot(module, slot, m, part.partBindings);
    }
}

// A part's shared modules are built in slot order and bound to their sources; on failure the part
// is stopped again.
int SoftwareKernel::startPart(int index) {
    CorvexProgram* part = program(index);
    if (part == nullptr) return -1;
    if (part->running) stopPart(index);
    part->bend = 0.0f;
    const int result = patchPart(*part);
    part->running = true;
    if (result < 0) {
        stopPart(index);
        return result;
    }
    part->updateModuleStates();
    part->enabled = true;
    noteGenerator_.reset(&context_, arpeggiatorConfig_);
    return 0;
}

void SoftwareKernel::stopPart(int index) {
    CorvexProgram* part = program(index);
    if (part == nullptr) return;
    // Voices and notes go whatever the part's state, so that nothing a stopped part once took stays taken.
    for (VoiceRecord& v : voiceStorage_)
        if (v.ownerPart == index && v.state != VoiceRecord::Free) freeVoice(v);
    part->heldNotes.clear();
    part->releasedNotes.clear();
    if (!part->running) return;
    for (PortEntry*& binding : part->partBindings) unbindRecord(binding);
    for (int slot = kVoiceSlotCount; slot < kPartSlotCount; ++slot) {
        void*& module = part->partModules[slot - kVoiceSlotCount];
        if (module == nullptr) continue;
        resetModuleByType(module);
        if (ModulePoolBase* pool = pools_.poolForType(slotType(slot))) pool->release(module);
        module = nullptr;
    }
    part->soundingVoices = 0;
    part->running = false;
}

void SoftwareKernel::freeVoice(VoiceRecord& voice) {
    CorvexProgram* part = program(voice.ownerPart);
    if (part) {
        if (part->soundingVoices > 0) --part->soundingVoices;
        const int i = part->releasedNotes.find(voice.note);
        if (i >= 0) part->releasedNotes.removeAt(i);
        releaseVoice(voice, *part);
    } else {
        for (PortEntry*& binding : voice.bindings) unbindRecord(binding);
    }
    voice.state = VoiceRecord::Free;
    voice.ownerPart = VoiceRecord::kFreeOwner;
    voice.owner = nullptr;
    voice.recycled = false;
}

void SoftwareKernel::freeFinishedVoices() {
    for (VoiceRecord& v : voiceStorage_)
        if (v.state == VoiceRecord::Finished) freeVoice(v);
}

int SoftwareKernel::soundingVoiceCount() const {
    int n = 0;
    for (const VoiceRecord& v : voiceStorage_)
        if (v.state == VoiceRecord::Sounding || v.state == VoiceRecord::Releasing) ++n;
    return n;
}

} // namespace corvex
