#include "engine/kernel/ModuleWiring.h"

#include "engine/kernel/CorvexProgram.h"
#include "engine/kernel/PortBinding.h"
#include "engine/modules/ModuleFramework.h"
#include "engine/modules/ModulePools.h"
#include "engine/modules/types/ChorusFlanger.h"
#include "engine/modules/types/Distortion.h"
#include "engine/modules/types/Envelope.h"
#include "engine/modules/types/InputMixer.h"
#include "engine/modules/types/Oscillator.h"
#include "engine/modules/types/PhaserInsert.h"
#include "engine/modules/types/VoiceControl.h"
#include "engine/modules/types/VoiceFilter.h"
#include "engine/modules/types/VoiceOutput.h"
#include "engine/modules/ModulationScales.h"
#include "engine/dsp/ConnectionDescriptor.h"

namespace corvex {

namespace {

constexpr int kHoldingEnvelopeSlot = 6; // "Env 2" decides when a released voice is over

int slotType(int slot) { return kModuleSlots[static_cast<size_t>(slot)].type; }

// The types that run in a voice's body, between the voice control and the output stages.
bool runsInVoiceBody(int type) {
    return type != ModuleType::ValueSource && type != ModuleType::VoiceControl && type != ModuleType::Envelope &&
           type != ModuleType::VoiceOutput;
}

// The types whose voices of one slot run together, each voice playing what it plays alone.
using TogetherProcess = void (*)(void* const* modules, int count, const ConnectionDescriptor* descriptors,
                                 const PortEntry* const* const* sources, const uint32_t* counts);
TogetherProcess togetherProcess(int type) {
    if (type == ModuleType::VoiceFilter) return processVoiceFilters;
    if (type == ModuleType::Oscillator) return processOscillators;
    if (type == ModuleType::InsertPhaser) return processPhaserInserts;
    if (type == ModuleType::Distortion) return processDistortions;
    if (type == ModuleType::Chorus) return processChorusFlangers;
    if (type == ModuleType::InputMixer) return processInputMixers;
    return nullptr;
}

bool envelopeFinished(const void* envelope) {
    return (static_cast<const EnvelopeModule*>(envelope)->stageWord & 7u) == EnvelopeStage::Finished;
}

// A slot of the voice body with its type's process and its connections looked up once for all the voices;
// a module not (or no longer) of the slot's type, or one that hosts another, goes the long way.
struct BodySlot {
    int slot;
    int type;
    ModuleProcess process;
    int first;
    const ConnectionDescriptor* descriptors;
    const uint32_t* counts;

    BodySlot() = default; // a stretch fills only the entries it uses
    BodySlot(int s, const ModuleManager& m)
        : slot(s), type(slotType(s)), process(moduleOps(type).process), first(m.firstRecordOf(s)),
          descriptors(nullptr), counts(nullptr) {
        if (first == kNone) return;
        descriptors = reinterpret_cast<const ConnectionDescriptor*>(m.records() + first);
        counts = m.inputCounters(s);
    }

    void run(VoiceRecord& voice, const ModuleManager& m) const {
        void* module = voice.modules[slot];
        if (module == nullptr) return;
        if (process == nullptr || moduleHead(module).type() != type) {
            processSlot(module, slot, m, voice.bindings);
            return;
        }
        process(module, descriptors, first == kNone ? nullptr : voice.bindings + first, counts);
    }
};

// One slot's module of each voice in turn, with the type's process looked up once for them all.
void runSlotEach(VoiceRecord* const* voices, int count, int slot, const ModuleManager& m) {
    const BodySlot body(slot, m);
    for (int v = 0; v < count; ++v) body.run(*voices[v], m);
}

// One call of `process` for the gathered modules of one slot, with the slot's connections.
void runGathered(TogetherProcess process, void* const* modules, const PortEntry* const* const* sources, int n,
                 int slot, const ModuleManager& m) {
    if (n == 0) return;
    const int first = m.firstRecordOf(slot);
    if (first == kNone) {
        process(modules, n, nullptr, sources, nullptr);
        return;
    }
    process(modules, n, reinterpret_cast<const ConnectionDescriptor*>(m.records() + first), sources,
            m.inputCounters(slot));
}

// One slot's modules of the voices in one call of `process`; a module not (or no longer) of the slot's
// type runs on its own first. No module of one voice reads another voice's.
void runSlotWith(VoiceRecord* const* voices, int count, int slot, const ModuleManager& m, TogetherProcess process) {
    const int type = slotType(slot);
    void* modules[kVoiceCount];
    const PortEntry* const* sources[kVoiceCount];
    const int first = m.firstRecordOf(slot);
    int n = 0;
    for (int v = 0; v < count; ++v) {
        void* module = voices[v]->modules[slot];
        if (module == nullptr) continue;
        if (moduleHead(module).type() != type) {
            processSlot(module, slot, m, voices[v]->bindings);
            continue;
        }
        modules[n] = module;
        sources[n] = first == kNone ? nullptr : voices[v]->bindings + first;
        ++n;
    }
    runGathered(process, modules, sources, n, slot, m);
}

// The envelopes of the voices, slot by slot, then each voice's release check, then the voice controls.
// A released voice whose holding envelope has finished plays no more; the others go to `playing`.
int startVoices(VoiceRecord* const* voices, int count, const ModuleManager& m, VoiceRecord** playing) {
    const int modules = m.voiceModules();
    for (int p = 0; p < modules; ++p) {
        const int slot = m.moduleAt(p);
        if (slotType(slot) == ModuleType::Envelope) runSlotWith(voices, count, slot, m, processEnvelopes);
    }
    int started = 0;
    for (int v = 0; v < count; ++v) {
        VoiceRecord& voice = *voices[v];
        if (voice.state == VoiceRecord::Releasing) {
            void* env = voice.modules[kHoldingEnvelopeSlot];
            if (env == nullptr || envelopeFinished(env)) {
                voice.state = VoiceRecord::Finished;
                continue;
            }
        }
        playing[started++] = &voice;
    }
    runSlotEach(playing, started, SlotIndex::VoiceControl, m);
    return started;
}

// The output stages of the playing voices, in voice order, each adding into the part's buses; then each
// voice's gate. A stage of another type in the slot sends the whole slot one voice at a time.
void finishVoices(VoiceRecord* const* voices, int count, const ModuleManager& m, float* left, float* right) {
    const int modules = m.voiceModules();
    for (int p = 0; p < modules; ++p) {
        const int slot = m.moduleAt(p);
        if (slotType(slot) != ModuleType::VoiceOutput) continue;
        void* stages[kVoiceCount];
        const PortEntry* const* sources[kVoiceCount];
        const int first = m.firstRecordOf(slot);
        bool together = true;
        int n = 0;
        for (int v = 0; v < count; ++v) {
            void* module = voices[v]->modules[slot];
            if (module == nullptr) continue;
            auto* stage = static_cast<Type7ModuleHead*>(module);
            stage->leftBus = left;
            stage->rightBus = right;
            together = together && moduleHead(module).type() == ModuleType::VoiceOutput;
            stages[n] = module;
            sources[n] = first == kNone ? nullptr : voices[v]->bindings + first;
            ++n;
        }
        if (!together) {
            for (int v = 0; v < count; ++v)
                if (void* module = voices[v]->modules[slot]) processSlot(module, slot, m, voices[v]->bindings);
            continue;
        }
        runGathered(processVoiceOutputs, stages, sources, n, slot, m);
    }
    runSlotEach(voices, count, SlotIndex::VoiceValueSource, m);
    for (int v = 0; v < count; ++v) voices[v]->releasePending = 0;
}

} // namespace

void* ModuleWiring::moduleAtSlot(CorvexProgram& part, VoiceRecord* voice, int slot) const {
    if (slot < 0 || slot >= kModuleSlotCount) return nullptr;
    if (slot < kVoiceSlotCount) return voice ? voice->modules[slot] : nullptr;
    if (slot < kPartSlotCount) return part.partModules[slot - kVoiceSlotCount];
    return globalModules_[slot - kFirstGlobalSlot];
}

PortEntry* ModuleWiring::sourcePort(CorvexProgram& part, VoiceRecord* voice, const ConnectionRecord& record) const {
    void* source = moduleAtSlot(part, voice, record.sourceSlot());
    return source ? modulePortAddress(source, record.sourcePort()) : nullptr;
}

int ModuleWiring::patchVoice(VoiceRecord& voice, CorvexProgram& part) {
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
        if (!feedsVoice) unbindPort(voice.bindings[r]);
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
        if (bindPort(voice.bindings[r], sourcePort(part, &voice, record)) < 0) return -1;
    }
    return 0;
}

int ModuleWiring::patchPart(CorvexProgram& part) {
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
            unbindPort(part.partBindings[r]);
            continue;
        }
        if (part.partBindings[r] == nullptr && bindPort(part.partBindings[r], sourcePort(part, nullptr, record)) < 0)
            return -1;
    }
    return 0;
}

// Any failure undoes the whole voice: a half-built voice would play with missing modules.
int ModuleWiring::buildVoice(VoiceRecord& voice, CorvexProgram& part) {
    const int result = patchVoice(voice, part);
    if (result < 0) releaseVoice(voice);
    return result;
}

void ModuleWiring::releaseVoice(VoiceRecord& voice) {
    for (PortEntry*& binding : voice.bindings) unbindPort(binding);
    for (int slot = 0; slot < kVoiceSlotCount; ++slot) {
        void* module = voice.modules[slot];
        if (module == nullptr) continue;
        resetModuleByType(module);
        if (ModulePoolBase* pool = pools_.poolForType(slotType(slot))) pool->release(module);
        voice.modules[slot] = nullptr;
    }
    voice.built = false;
}

void ModuleWiring::releasePartModules(CorvexProgram& part) {
    for (PortEntry*& binding : part.partBindings) unbindPort(binding);
    for (int slot = kVoiceSlotCount; slot < kPartSlotCount; ++slot) {
        void*& module = part.partModules[slot - kVoiceSlotCount];
        if (module == nullptr) continue;
        resetModuleByType(module);
        if (ModulePoolBase* pool = pools_.poolForType(slotType(slot))) pool->release(module);
        module = nullptr;
    }
}

// Envelopes first: a released voice whose holding envelope has finished plays no more. False then.
bool ModuleWiring::renderVoiceStart(VoiceRecord& voice, const ModuleManager& m) {
    VoiceRecord* const one[1] = {&voice};
    VoiceRecord* playing[1];
    return startVoices(one, 1, m, playing) == 1;
}

void ModuleWiring::renderVoiceEnd(VoiceRecord& voice, const ModuleManager& m, float* left, float* right) {
    VoiceRecord* const one[1] = {&voice};
    finishVoices(one, 1, m, left, right);
}

void ModuleWiring::renderVoice(VoiceRecord& voice, CorvexProgram& part, float* left, float* right) {
    if (!voice.built) return;
    const ModuleManager& m = part.connections;
    ScopedModulationScales scales(m.modulationScales());
    if (!renderVoiceStart(voice, m)) return;
    for (int p = 0; p < m.voiceModules(); ++p) {
        const int slot = m.moduleAt(p);
        if (!runsInVoiceBody(slotType(slot))) continue;
        processSlot(voice.modules[slot], slot, m, voice.bindings);
    }
    renderVoiceEnd(voice, m, left, right);
}

void ModuleWiring::runSlotTogether(VoiceRecord* const* voices, int count, int slot, const ModuleManager& m) {
    runSlotWith(voices, count, slot, m, togetherProcess(slotType(slot)));
}

// The modules of each voice run in their own order, voice after voice, up to the next slot that runs in lanes;
// that slot then runs for all the voices together. No module of one voice reads another voice's.
void ModuleWiring::renderVoices(VoiceRecord* const* voices, int count, CorvexProgram& part, float* left,
                                float* right) {
    const ModuleManager& m = part.connections;
    ScopedModulationScales scales(m.modulationScales());
    VoiceRecord* built[kVoiceCount];
    int b = 0;
    for (int v = 0; v < count && v < kVoiceCount; ++v)
        if (voices[v]->built) built[b++] = voices[v];
    VoiceRecord* playing[kVoiceCount];
    const int n = startVoices(built, b, m, playing);
    const int modules = m.voiceModules();
    int from = 0;
    while (from < modules) {
        int to = from;
        while (to < modules && togetherProcess(slotType(m.moduleAt(to))) == nullptr) ++to;
        // The stretch's slots are looked up once for all the voices.
        BodySlot body[kVoiceSlotCount];
        int slots = 0;
        for (int p = from; p < to; ++p) {
            const int slot = m.moduleAt(p);
            if (runsInVoiceBody(slotType(slot))) body[slots++] = BodySlot(slot, m);
        }
        for (int v = 0; v < n; ++v) {
            VoiceRecord& voice = *playing[v];
            for (int i = 0; i < slots; ++i) body[i].run(voice, m);
        }
        if (to < modules) runSlotTogether(playing, n, m.moduleAt(to), m);
        from = to + 1;
    }
    finishVoices(playing, n, m, left, right);
}

void ModuleWiring::runPartModules(CorvexProgram& part, int phase) {
    const ModuleManager& m = part.connections;
    ScopedModulationScales scales(m.modulationScales());
    const int first = m.voiceModules();
    for (int p = first; p < first + m.partModules(); ++p) {
        const int slot = m.moduleAt(p);
        void* module = part.partModules[slot - kVoiceSlotCount];
        if (module == nullptr || part.record(slot).phase != phase) continue;
        processSlot(module, slot, m, part.partBindings);
    }
}

} // namespace corvex
