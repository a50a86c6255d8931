// The instrument's audio-thread block: tempo, MIDI events at sub-block starts, the 32-frame carry, CPU load.
#include "instrument/audio/BlockRenderer.h"

#include <algorithm>
#include <cmath>

namespace corvex {
namespace {

// A clock tempo counts from whole beats per minute, as the transport shows it.
double transportBpm(double clockBpm) {
    if (!(clockBpm > 0.0) || !std::isfinite(clockBpm)) return BlockRenderer::kDefaultBpm;
    return std::trunc(clockBpm + 0.5);
}

} // namespace

BlockRenderer::BlockRenderer(BlockKernel& kernel, ControllerHandler* controllers, const KernelClock* clock)
    : kernel_(kernel), controllers_(controllers), clock_(clock != nullptr ? *clock : steadyClock_) {}

double BlockRenderer::nowMs() const {
    return static_cast<double>(clock_.ticks()) * 1000.0 / static_cast<double>(clock_.ticksPerSecond());
}

void BlockRenderer::process(const BlockMidiEvent* events, int eventCount, float* left, float* right, int samples,
                            bool accumulate, double clockBpm) {
    const double startMs = nowMs();
    bpm_ = transportBpm(clockBpm);
    kernel_.setTempo(static_cast<float>(bpm_));

    const int n = std::max(samples, 0);
    const int count = events != nullptr ? std::max(eventCount, 0) : 0;
    int cursor = 0;
    auto dispatchBelow = [&](int limit) {
        while (cursor < count && events[cursor].samplePosition < limit)
            dispatchMidiEvent(events[cursor++], kernel_, controllers_);
    };

    for (int start = 0; start < n; start += kFrames) {
        const int m = std::min(kFrames, n - start);
        dispatchBelow(start + m);
        renderSubBlock(left != nullptr ? left + start : nullptr, right != nullptr ? right + start : nullptr, m,
                       accumulate);
    }
    // Events at or past the end (a host that misplaces them, or a block of no samples) reach the kernel
    // before its next render rather than never: a lost note-off would hang the note.
    while (cursor < count) dispatchMidiEvent(events[cursor++], kernel_, controllers_);

    cpuLoad_.update(nowMs() - startMs, n, sampleRate_);
}

void BlockRenderer::renderSubBlock(float* left, float* right, int m, bool accumulate) {
    int written = 0;
    while (m > 0) {
        if (samplesLeft_ == 0) {
            kernel_.render(renderLeft_, renderRight_);
            samplesLeft_ = kFrames;
            continue;
        }
        const int k = std::min(samplesLeft_, m);
        const int from = kFrames - samplesLeft_;
        float* const dests[2] = {left, right};
        const float* const sources[2] = {renderLeft_ + from, renderRight_ + from};
        for (int c = 0; c < 2; ++c) {
            if (dests[c] == nullptr) continue;
            float* out = dests[c] + written;
            if (accumulate)
                for (int i = 0; i < k; ++i) out[i] += sources[c][i];
            else
                std::copy(sources[c], sources[c] + k, out);
        }
        written += k;
        samplesLeft_ -= k;
        m -= k;
    }
}

} // namespace corvex
