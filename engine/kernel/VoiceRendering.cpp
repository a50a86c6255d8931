#include "engine/kernel/VoiceRendering.h"

#include "engine/kernel/CorvexProgram.h"
#include "engine/kernel/ModuleWiring.h"

namespace corvex {

namespace {

// Parts 0 and 1 add into buses 0/1 and 8/9; the others have none.
struct PartBuses {
    float* left = nullptr;
    float* right = nullptr;
};
PartBuses busesOf(float* const* bus, int part) {
    return part < 2 ? PartBuses{bus[8 * part], bus[8 * part + 1]} : PartBuses{};
}

} // namespace

// Fills order_ with the voices to render, sorted by order key then index; answers how many.
int VoiceRendering::orderVoices() {
    int active = 0;
    for (int i = 0; i < kVoiceCount; ++i) {
        VoiceRecord& v = voices_[i];
        if (v.state != VoiceRecord::Sounding && v.state != VoiceRecord::Releasing) continue;
        const CorvexProgram* part = kernel_.program(v.ownerPart);
        v.orderKey = part ? static_cast<uint32_t>(part->voiceOrder) << 28 : 0u;
        int at = active++;
        while (at > 0 && voices_[order_[at - 1]].orderKey > v.orderKey) {
            order_[at] = order_[at - 1];
            --at;
        }
        order_[at] = i;
    }
    return active;
}

void VoiceRendering::render(float* const* bus) {
    const int active = orderVoices();
    for (int p = 0; p < KernelBase::kPartCount && together_; ++p) {
        // A part's voices render together, in their order. Voices of different parts share nothing
        // while they render (each part adds into its own buses), so parts may go one after another.
        CorvexProgram* part = kernel_.program(p);
        if (part == nullptr || !part->running) continue;
        VoiceRecord* run[kVoiceCount];
        int n = 0;
        for (int a = 0; a < active; ++a)
            if (voices_[order_[a]].ownerPart == p) run[n++] = &voices_[order_[a]];
        const PartBuses out = busesOf(bus, p);
        if (n == 1) wiring_.renderVoice(*run[0], *part, out.left, out.right); // nothing to run beside it
        if (n > 1) wiring_.renderVoices(run, n, *part, out.left, out.right);
    }
    for (int a = 0; a < active && !together_; ++a) {
        VoiceRecord& v = voices_[order_[a]];
        CorvexProgram* part = kernel_.program(v.ownerPart);
        if (part == nullptr || !part->running) continue;
        const PartBuses out = busesOf(bus, v.ownerPart);
        wiring_.renderVoice(v, *part, out.left, out.right);
    }
}

} // namespace corvex
