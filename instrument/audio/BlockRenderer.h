// The instrument's audio-thread block: tempo, MIDI events at sub-block starts, the 32-frame carry, CPU load.
#pragma once

#include "engine/modules/KernelClock.h"
#include "instrument/audio/BlockKernel.h"
#include "instrument/audio/BlockMidiEvent.h"
#include "instrument/audio/CpuLoad.h"
#include "instrument/audio/MidiDispatch.h"

namespace corvex {

// The kernel renders only whole blocks of 32 frames; any device block size is served through a carry of
// the last rendered block. Nothing here allocates: the render buffers live in the object.
class BlockRenderer {
public:
    static constexpr int kFrames = BlockKernel::kFrames;
    static constexpr double kDefaultBpm = 120.0;

    // controllers may be null; clock null means the steady clock. All three must outlive the renderer.
    BlockRenderer(BlockKernel& kernel, ControllerHandler* controllers, const KernelClock* clock = nullptr);
    BlockRenderer(const BlockRenderer&) = delete;
    BlockRenderer& operator=(const BlockRenderer&) = delete;

    // Before the stream starts; only the CPU load uses it.
    void setSampleRate(double rate) { sampleRate_ = rate; }

    // One device block of `samples` frames into left and right (either may be null), written or, with
    // accumulate, added. events are the block's MIDI in order of position; each is sent before the
    // 32-sample stretch that holds it, and those at or beyond the block's end after its last render, so a
    // note-off is never lost. clockBpm is the measured MIDI-clock tempo, 0 when there is none.
    void process(const BlockMidiEvent* events, int eventCount, float* left, float* right, int samples,
                 bool accumulate, double clockBpm);

    // Hands out m frames, rendering a new kernel block whenever the carry runs dry.
    void renderSubBlock(float* left, float* right, int m, bool accumulate);

    int samplesLeft() const { return samplesLeft_; }
    double bpm() const { return bpm_; }
    // Any thread: the smoothed share of real time, in percent.
    int cpuLoad() const { return cpuLoad_.percent(); }

private:
    double nowMs() const;

    BlockKernel& kernel_;
    ControllerHandler* controllers_;
    SteadyKernelClock steadyClock_;
    const KernelClock& clock_;
    double sampleRate_ = 44100.0;
    double bpm_ = kDefaultBpm;
    int samplesLeft_ = 0;
    float renderLeft_[kFrames] = {};
    float renderRight_[kFrames] = {};
    CpuLoad cpuLoad_;
};

} // namespace corvex
