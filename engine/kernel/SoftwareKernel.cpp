// The kernel's render cycle: one block of messages, notes, parts, voices and the module graph; parts start and stop.
#include "engine/kernel/SoftwareKernel.h"

#include <algorithm>
#include <cassert>
#include <cmath>

#include "engine/dsp/BandLimitedStepTable.h"
#include "engine/dsp/ConversionCurves.h"
#include "engine/dsp/ScopedNoDenormals.h"
#include "engine/kernel/CorvexProgram.h"
#include "engine/modules/types/NoiseTables.h"

namespace corvex {

SoftwareKernel::SoftwareKernel()
    : KernelBase(contextStorage_, poolStorage_, voiceStorage_),
      posted_(*this),
      hold_(*this),
      wiring_(contextStorage_, poolStorage_, globalModules_),
      allocator_(*this, voiceStorage_, wiring_, noteGenerator_, hold_.rings()),
      edits_(*this, voiceStorage_, wiring_),
      rendering_(*this, voiceStorage_, wiring_) {
    prepareNoiseTables();
    prepareBandLimitedStepTable();
    store_.init();
    context_.store = &store_;
    context_.pools = &poolStorage_;
    setClock(nullptr);
    context_.stampBlockStart();
}

SoftwareKernel::~SoftwareKernel() = default;

void SoftwareKernel::setClock(const KernelClock* clock) {
    context_.clock = clock ? clock : &defaultClock_;
    context_.counterFrequency = context_.clock->ticksPerSecond();
}

void SoftwareKernel::setSampleRate(double rate) {
    if (!(rate > 0.0) || !std::isfinite(rate)) return;
    context_.setSampleRate(rate);
}

void SoftwareKernel::setDetune(float v) {
    detuneAmount_.store(decibelsToGain(levelToDecibels(v)), std::memory_order_relaxed);
}

void SoftwareKernel::postPitchBend(float bend) {
    const float clamped = std::isfinite(bend) ? std::clamp(bend, -1.0f, 1.0f) : 0.0f;
    const auto word = static_cast<uint16_t>(static_cast<int>((clamped + 1.0f) * 16384.0f));
    postMessage(KernelMessage::fromWordPair((1 << 8) | MessageType::Bend, word));
    postMessage(KernelMessage::fromWordPair((2 << 8) | MessageType::Bend, word));
}

void SoftwareKernel::postMessage(const KernelMessage& message) { posted_.post(message); }

void SoftwareKernel::processPendingMessages(int max) { posted_.executePending(max); }

void SoftwareKernel::processBlock(int numOutputs, float* const* outputs, int frameCount) {
    numOutputs = (outputs == nullptr) ? 0 : std::clamp(numOutputs, 0, 2);
    if (frameCount != kBlockFrames) {
        // Every module renders exactly one block per call: another count would play at a wrong pitch
        // and drop the rest. The caller's buffer is silenced and the refusal counted.
        assert(frameCount == kBlockFrames && "the kernel renders 32 frames per call");
        for (int c = 0; c < numOutputs; ++c)
            if (outputs[c] && frameCount > 0) std::fill(outputs[c], outputs[c] + frameCount, 0.0f);
        refusedBlocks_.fetch_add(1, std::memory_order_relaxed);
        return;
    }
    const int frames = kBlockFrames;
    ScopedNoDenormals noDenormals;
    context_.stampBlockStart();
    context_.detuneAmount = detuneAmount_.load(std::memory_order_relaxed);
    context_.tuning = tuning_.load(std::memory_order_relaxed);
    for (int c = 0; c < numOutputs; ++c)
        if (outputs[c]) std::fill(outputs[c], outputs[c] + frames, 0.0f);

    processPendingMessages(kMaxMessagesPerBlock);
    hold_.beginBlock();
    perBlockHook();
    allocator_.runNoteGenerator();

    for (int p = 0; p < kPartCount; ++p)
        if (CorvexProgram* part = program(p); part && part->running) wiring_.runPartModules(*part, 0);

    float* bus[kOutputBusCount] = {};
    getOutputBuffers(bus);
    for (float* b : bus)
        if (b) std::fill(b, b + kBlockFrames, 0.0f);
    rendering_.render(bus);

    for (int p = 0; p < kPartCount; ++p)
        if (CorvexProgram* part = program(p); part && part->running) wiring_.runPartModules(*part, 1);

    runModuleGraph();

    float* finals[2] = {outputLeft_, outputRight_};
    for (int c = 0; c < 2; ++c) {
        float* buffer = finals[c];
        if (buffer == nullptr) continue;
        for (int i = 0; i < frames; ++i) buffer[i] *= kOutputGain;
        if (c < numOutputs && outputs[c]) std::copy(buffer, buffer + frames, outputs[c]);
    }
    testTone_.addInto(numOutputs, outputs, frames, static_cast<double>(context_.sampleRate));

    allocator_.freeFinishedVoices();
    commitNotifications();
}

// A part's shared modules are built in slot order and bound to their sources; on failure the part
// is stopped again.
int SoftwareKernel::startPart(int index) {
    CorvexProgram* part = program(index);
    if (part == nullptr) return -1;
    if (part->running) stopPart(index);
    part->bend = 0.0f;
    const int result = wiring_.patchPart(*part);
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
    // Voices and notes go whatever the part's state.
    allocator_.freePartVoices(index);
    if (!part->running) return;
    wiring_.releasePartModules(*part);
    part->soundingVoices = 0;
    part->running = false;
}

} // namespace corvex
