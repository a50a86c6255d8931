// The test tone: a 440 Hz sine at -14 dB added to the outputs, with a phase of its own per kernel.
#pragma once

#include <atomic>

namespace corvex {

class TestTone {
public:
    // Any thread.
    void setOn(bool on) { on_.store(on, std::memory_order_relaxed); }
    bool isOn() const { return on_.load(std::memory_order_relaxed); }

    // Audio thread: adds the tone into the outputs when it is on.
    void addInto(int numOutputs, float* const* outputs, int frames, double sampleRate);

private:
    std::atomic<bool> on_{false};
    double phase_ = 0.0; // each kernel its own, so that two instances stay independent
};

} // namespace corvex
