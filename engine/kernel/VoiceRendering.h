// One block of every sounding voice, in order: each part's voices together, or each voice alone.
#pragma once

#include "engine/kernel/KernelBase.h"
#include "engine/kernel/VoiceRecord.h"

namespace corvex {

class ModuleWiring;

class VoiceRendering {
public:
    VoiceRendering(const KernelBase& kernel, VoiceRecord (&voices)[kVoiceCount], ModuleWiring& wiring)
        : kernel_(kernel), voices_(voices), wiring_(wiring) {}

    // Renders the sounding and releasing voices of the running parts into their part's buses, in
    // ascending voice order of the part, then index.
    void render(float* const* bus);

    // On, each part's voices render together and their filters run side by side in vector lanes;
    // off, each voice renders alone. Both play the same.
    void setTogether(bool on) { together_ = on; }
    bool together() const { return together_; }

private:
    int orderVoices();

    const KernelBase& kernel_;
    VoiceRecord (&voices_)[kVoiceCount];
    ModuleWiring& wiring_;
    int order_[kVoiceCount] = {}; // indices of the voices to render, in order
    bool together_ = true;
};

} // namespace corvex
