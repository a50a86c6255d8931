// The kernel's machinery: the render cycle and the interpreter of messages, with the objects it hands work to.
#pragma once

#include <atomic>
#include <cstdint>

#include "engine/modules/EngineContext.h"
#include "engine/kernel/KernelBase.h"
#include "engine/kernel/KernelMessage.h"
#include "engine/kernel/KernelNotifications.h"
#include "engine/kernel/LiveEdits.h"
#include "engine/modules/KernelClock.h"
#include "engine/kernel/MessagePost.h"
#include "engine/kernel/ModuleWiring.h"
#include "engine/kernel/NoteGenerator.h"
#include "engine/kernel/NoteHold.h"
#include "engine/kernel/TestTone.h"
#include "engine/kernel/VoiceAllocator.h"
#include "engine/kernel/VoiceRendering.h"
#include "engine/modules/BlockBufferStore.h"
#include "engine/modules/ModulePools.h"
#include "engine/modules/ConnectionManager.h"

namespace corvex {

class CorvexProgram;
class RenderExclusion;
class SoftwareKernelListener;
struct GlobalBlockParams;

class SoftwareKernel : public KernelBase {
public:
    static constexpr int kMaxMessagesPerBlock = 256;
    static constexpr float kOutputGain = 2.8183829f; // 10^0.45

    SoftwareKernel();
    ~SoftwareKernel() override;
    SoftwareKernel(const SoftwareKernel&) = delete;
    SoftwareKernel& operator=(const SoftwareKernel&) = delete;

    uint8_t* allocNotification(int bytes) override { return notifications_.reserve(bytes); }

    void setSampleRate(double rate);
    // Renders one block of 32 frames into up to two output channels. Any other frame count is refused:
    // the outputs are silenced, refusedBlockCount() grows, and a debug build stops at an assertion.
    void processBlock(int numOutputs, float* const* outputs, int frameCount);
    // Calls refused for a wrong frame count since construction (any thread may read it).
    int refusedBlockCount() const { return refusedBlocks_.load(std::memory_order_relaxed); }
    virtual void startTransport() {}
    virtual void stopTransport() {}
    virtual void processPendingMessages(int max);

    // Queues a message for the start of the next block. Posts are serialised here; when the ring is
    // full the oldest message is executed at once, inside the render exclusion.
    void postMessage(const KernelMessage& message);
    // Executes a word stream now (audio thread, or inside the render exclusion). Answers the result of
    // the last message that sets one, 0 when none does, -1 for a malformed or rejected message.
    int processMessage(const uint16_t* words, int count);

    void setRenderExclusion(RenderExclusion* exclusion) { posted_.setRenderExclusion(exclusion); }
    void setClock(const KernelClock* clock);
    void setRandomSeed(uint32_t seed) { context_.random.seed(seed); }

    void addListener(SoftwareKernelListener* listener) { notifications_.addListener(listener); }
    void removeListener(SoftwareKernelListener* listener) { notifications_.removeListener(listener); }
    void commitNotifications() { notifications_.publish(); }
    void drainNotifications() { notifications_.drain(); }

    // Audio thread, before the block that the event falls in.
    void sendMidiNote(int status, int note, int velocity);
    void sendPitchBend(int msb, int lsb);
    void sendPressure(int status, int data1, int data2);
    void allNotesOff();

    // Message thread: a bend of -1..+1 for both layers, through the posted ring.
    void postPitchBend(float bend);
    // Message thread: 0 off, 1 hold, 2 hold with replacement, for kernel part 0..3.
    void setHold(int part, int value) { hold_.set(part, value); }
    int getHold(int part) const { return hold_.value(part); }

    // Audio thread, between blocks: the tempo every tempo-synced module reads.
    void setTempo(float bpm) {
        if (bpm > 0.0f && bpm < 1000.0f) context_.tempo = bpm;
    }
    void setDetune(float v);
    float getDetune() const { return detuneAmount_.load(std::memory_order_relaxed); }
    void setTuning(float hz) { tuning_.store(hz, std::memory_order_relaxed); }
    float getTuning() const { return tuning_.load(std::memory_order_relaxed); }
    void setTestTone(bool on) { testTone_.setOn(on); }
    bool getTestTone() const { return testTone_.isOn(); }

    const EngineContext& context() const { return context_; }
    BlockBufferStore& bufferStore() { return store_; }
    ModulePools& modulePools() { return pools_; }
    int pendingMessageCount() const { return posted_.size(); }
    // The i-th oldest message still waiting for the next block (message thread only).
    const KernelMessage& pendingMessage(int i) const { return posted_.peek(i); }
    int remoteInputFlag() const { return remoteInput_; }
    int directNoteMark() const { return directNoteMark_; }

    int soundingVoiceCount() const { return allocator_.soundingVoiceCount(); }

    // On (the default), each part's voices render together and their filters run side by side in
    // vector lanes; off, each voice renders alone, one sample loop at a time. Both play the same.
    // Between blocks only.
    void setVoicesTogether(bool on) { rendering_.setTogether(on); }
    bool voicesTogether() const { return rendering_.together(); }

protected:
    static constexpr int kGlobalModuleCount = ModuleWiring::kGlobalModuleCount;

    float* outputLeft_ = nullptr;
    float* outputRight_ = nullptr;
    // Kernel-global modules by slot (32..40), created by the module graph.
    void* globalModules_[kGlobalModuleCount] = {};
    const GlobalBlockParams* arpeggiatorConfig_ = nullptr;

private:
    struct MessageHandlers; // one per message type, in MessageInterpreter.cpp

    int startPart(int part);
    void stopPart(int part);

    // Storage first: the base and the objects below keep references to it.
    EngineContext contextStorage_;
    ModulePools poolStorage_;
    VoiceRecord voiceStorage_[kVoiceCount];
    BlockBufferStore store_;

    KernelNotifications notifications_;
    MessagePost posted_;
    SteadyKernelClock defaultClock_;
    std::atomic<float> detuneAmount_{0.0f};
    std::atomic<float> tuning_{440.0f};
    std::atomic<int> refusedBlocks_{0};
    TestTone testTone_;

    NoteHold hold_;
    NoteGenerator noteGenerator_;
    ModuleWiring wiring_;
    VoiceAllocator allocator_;
    LiveEdits edits_;
    VoiceRendering rendering_;
};

} // namespace corvex
