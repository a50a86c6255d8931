// The product kernel seen through the block renderer's kernel interface.
#pragma once

#include "engine/kernel/CorvexKernel.h"
#include "instrument/audio/BlockKernel.h"

namespace corvex {

class CorvexBlockKernel final : public BlockKernel {
public:
    explicit CorvexBlockKernel(CorvexKernel& kernel) : kernel_(kernel) {}

    void render(float* left, float* right) override;
    void sendMidiNote(int status, int note, int velocity) override { kernel_.sendMidiNote(status, note, velocity); }
    void sendPitchBend(int msb, int lsb) override { kernel_.sendPitchBend(msb, lsb); }
    void sendPressure(int status, int data1, int data2) override { kernel_.sendPressure(status, data1, data2); }
    void allNotesOff() override { kernel_.allNotesOff(); }
    void startTransport() override { kernel_.startTransport(); }
    void stopTransport() override { kernel_.stopTransport(); }
    void setTempo(float bpm) override;

private:
    CorvexKernel& kernel_;
};

} // namespace corvex
