#include "engine/kernel/SoftwareKernel.h"

#include <algorithm>
#include <cassert>
#include <cmath>

#include "engine/dsp/BandLimitedStepTable.h"
#include "engine/dsp/ConversionCurves.h"
#include "engine/dsp/SampleGuards.h"
#include "engine/dsp/ScopedNoDenormals.h"
#include "engine/kernel/CorvexProgram.h"
#include "engine/kernel/RenderExclusion.h"
#include "engine/modules/types/NoiseTables.h"

namespace corvex {

SoftwareKernel::SoftwareKernel()
    : KernelBase(contextStorage_, poolStorage_, voiceStorage_),
      wiring_(contextStorage_, poolStorage_, globalModules_),
      allocator_(*this, voiceStorage_, wiring_, noteGenerator_, holdRings_),
      edits_(*this, voiceStorage_, wiring_) {
    prepareNoiseTables();
    prepareBandLimitedStepTable();
    store_.init();
    context_.store = &store_;
    context_.pools = &poolStorage_;
    setClock(nullptr);
    context_.stampBlockStart();
    listeners_.reserve(4);
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

void SoftwareKernel::addListener(SoftwareKernelListener* listener) {
    if (listener && std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end())
        listeners_.push_back(listener);
}

void SoftwareKernel::removeListener(SoftwareKernelListener* listener) {
    listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), listener), listeners_.end());
}

void SoftwareKernel::postMessage(const KernelMessage& message) {
    std::lock_guard<std::mutex> serialise(postMutex_);
    if (posted_.full()) {
        // Never drop a message: run the oldest one now, but never beside a rendering block. The
        // renderer may have emptied the ring before the exclusion was granted, so look again.
        if (exclusion_) exclusion_->enterExclusion();
        if (posted_.full()) {
            posted_.pop(overflowScratch_);
            processMessage(overflowScratch_.words, overflowScratch_.wordCount);
        }
        if (exclusion_) exclusion_->exitExclusion();
    }
    posted_.push(message);
}

void SoftwareKernel::processPendingMessages(int max) {
    for (int n = 0; n < max && !posted_.empty(); ++n) {
        posted_.pop(pendingScratch_);
        processMessage(pendingScratch_.words, pendingScratch_.wordCount);
    }
}

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
    drainHoldRings();
    perBlockHook();
    allocator_.runNoteGenerator();

    for (int p = 0; p < kPartCount; ++p)
        if (CorvexProgram* part = program(p); part && part->running) wiring_.runPartModules(*part, 0);

    // Voices render in ascending order key, then index.
    int active = 0;
    for (int i = 0; i < kVoiceCount; ++i) {
        VoiceRecord& v = voiceStorage_[i];
        if (v.state != VoiceRecord::Sounding && v.state != VoiceRecord::Releasing) continue;
        const CorvexProgram* part = program(v.ownerPart);
        v.orderKey = part ? static_cast<uint32_t>(part->voiceOrder) << 28 : 0u;
        int at = active++;
        while (at > 0 && voiceStorage_[activeVoices_[at - 1]].orderKey > v.orderKey) {
            activeVoices_[at] = activeVoices_[at - 1];
            --at;
        }
        activeVoices_[at] = i;
    }

    float* bus[kOutputBusCount] = {};
    getOutputBuffers(bus);
    for (float* b : bus)
        if (b) std::fill(b, b + kBlockFrames, 0.0f);

    for (int p = 0; p < kPartCount && voicesTogether_; ++p) {
        // A part's voices render together, in their order. Voices of different parts share nothing
        // while they render (each part adds into its own buses), so parts may go one after another.
        CorvexProgram* part = program(p);
        if (part == nullptr || !part->running) continue;
        VoiceRecord* run[kVoiceCount];
        int n = 0;
        for (int a = 0; a < active; ++a)
            if (voiceStorage_[activeVoices_[a]].ownerPart == p) run[n++] = &voiceStorage_[activeVoices_[a]];
        float* left = p < 2 ? bus[8 * p] : nullptr;
        float* right = p < 2 ? bus[8 * p + 1] : nullptr;
        if (n == 1) wiring_.renderVoice(*run[0], *part, left, right); // nothing to run beside it
        if (n > 1) wiring_.renderVoices(run, n, *part, left, right);
    }
    for (int a = 0; a < active && !voicesTogether_; ++a) {
        VoiceRecord& v = voiceStorage_[activeVoices_[a]];
        CorvexProgram* part = program(v.ownerPart);
        if (part == nullptr || !part->running) continue;
        const int p = v.ownerPart;
        float* left = p < 2 ? bus[8 * p] : nullptr;
        float* right = p < 2 ? bus[8 * p + 1] : nullptr;
        wiring_.renderVoice(v, *part, left, right);
    }

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
    if (testTone_.load(std::memory_order_relaxed)) addTestTone(numOutputs, outputs, frames);

    allocator_.freeFinishedVoices();
    commitNotifications();
}

// A 440 Hz sine at -14 dB, each kernel with its own phase so that two instances stay independent.
void SoftwareKernel::addTestTone(int numOutputs, float* const* outputs, int frames) {
    constexpr double kRadiansPerSecond = 2764.52;
    const double increment = kRadiansPerSecond / static_cast<double>(context_.sampleRate);
    for (int i = 0; i < frames; ++i) {
        const float s = 0.2f * static_cast<float>(std::sin(testTonePhase_));
        for (int c = 0; c < numOutputs; ++c)
            if (outputs[c]) outputs[c][i] += s;
        testTonePhase_ += increment;
        if (testTonePhase_ >= kTwoPi) testTonePhase_ -= kTwoPi;
    }
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
