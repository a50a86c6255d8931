// What the block renderer needs of a kernel: its audio-thread entries and the tempo it plays to.
#pragma once

namespace corvex {

// Every call comes from the audio thread, between renders.
class BlockKernel {
public:
    static constexpr int kFrames = 32;

    virtual ~BlockKernel() = default;
    // Renders exactly kFrames frames into each of the two buffers.
    virtual void render(float* left, float* right) = 0;
    virtual void sendMidiNote(int status, int note, int velocity) = 0;
    virtual void sendPitchBend(int msb, int lsb) = 0;
    virtual void sendPressure(int status, int data1, int data2) = 0;
    virtual void allNotesOff() = 0;
    virtual void startTransport() = 0;
    virtual void stopTransport() = 0;
    virtual void setTempo(float bpm) = 0;
};

} // namespace corvex
