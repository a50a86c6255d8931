// The modules of voices and parts: built from the part's list, bound to their sources, rendered, freed.
#pragma once

#include "engine/kernel/VoiceRecord.h"
#include "engine/modules/ModuleSlots.h"

namespace corvex {

struct EngineContext;
struct ModulePools;
struct ConnectionRecord;
struct PortEntry;
class ModuleManager;
class CorvexProgram;

class ModuleWiring {
public:
    static constexpr int kGlobalModuleCount = kModuleSlotCount - kFirstGlobalSlot;

    // The kernel-global modules (slots 32..40) are the kernel's; records of a part may read them.
    ModuleWiring(EngineContext& context, ModulePools& pools, void* const* globalModules)
        : context_(context), pools_(pools), globalModules_(globalModules) {}

    // Brings a voice in line with its part's list: every voice module the list places exists, nothing
    // else does, and every record into one of its modules is bound to its source. A fresh voice is built
    // this way; after a live edit the same step patches a sounding one.
    int patchVoice(VoiceRecord& voice, CorvexProgram& part);
    // The same for the part's shared modules (slots 20..31), which an edit creates but never removes.
    int patchPart(CorvexProgram& part);
    // patchVoice for a fresh voice, undone whole on failure.
    int buildVoice(VoiceRecord& voice, CorvexProgram& part);
    // Unbinds the voice's records and gives its modules back to their pools.
    void releaseVoice(VoiceRecord& voice);
    // Unbinds the part's records and gives its shared modules back to their pools.
    void releasePartModules(CorvexProgram& part);

    // One block of a voice of `part` into the part's output buses (null buses for parts that have none).
    void renderVoice(VoiceRecord& voice, CorvexProgram& part, float* left, float* right);
    // The same for several voices of `part` (at most kVoiceCount), whose modules run in the order
    // renderVoice runs them for each voice; a slot whose type runs in vector lanes (the voice filters,
    // the insert phaser, distortion and chorus) runs for all of them at once.
    // Each voice plays what renderVoice would play, and the output stages add into the buses in
    // the order the voices are given.
    void renderVoices(VoiceRecord* const* voices, int count, CorvexProgram& part, float* left, float* right);
    // The part's shared modules of one phase: 0 before the voices, 1 after them.
    void runPartModules(CorvexProgram& part, int phase);

private:
    bool renderVoiceStart(VoiceRecord& voice, const ModuleManager& m);
    void renderVoiceEnd(VoiceRecord& voice, const ModuleManager& m, float* left, float* right);
    void runSlotTogether(VoiceRecord* const* voices, int count, int slot, const ModuleManager& m);
    void* moduleAtSlot(CorvexProgram& part, VoiceRecord* voice, int slot) const;
    PortEntry* sourcePort(CorvexProgram& part, VoiceRecord* voice, const ConnectionRecord& record) const;

    EngineContext& context_;
    ModulePools& pools_;
    void* const* globalModules_;
};

} // namespace corvex
