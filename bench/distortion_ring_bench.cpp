// Cost of the distortion and the ring modulator in the voice path: held notes of the initial program
// with the effect chosen for the Upper layer's first chain, in nanoseconds per voice-sample beside the
// plain voice.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>

#include "engine/kernel/CorvexKernel.h"
#include "engine/program/CorvanKernelProgram.h"
#include "instrument/params/CorvanParameters.h"

namespace {

using corvex::CorvanKernelProgram;
using corvex::CorvanParameters;
using corvex::CorvexKernel;

enum Effect { kPlain, kDistortionOversampled, kDistortionPlain, kDistortionSine, kDistortionExponential, kRingMod };

constexpr int kSelectorRow = 249;
constexpr int kDryWetRow = 48;
constexpr int kFirstRow = 49;
constexpr int kOutputRow = 69;
constexpr int kQualityRow = 67;
constexpr int kDistortionSlot = 14;
constexpr int kModeWord = 9;

float choice(int c) { return (float(c) + 0.5f) / 6.0f; }

void chooseEffect(CorvanParameters& table, CorvanKernelProgram& program, Effect effect) {
    if (effect == kPlain) return;
    table.setParameter(kSelectorRow, choice(effect == kRingMod ? 5 : 2));
    table.setParameter(kDryWetRow, 1.0f);
    table.setParameter(kFirstRow, 0.5f); // drive, or the ring modulator's frequency
    table.setParameter(kOutputRow, 0.75f);
    if (effect == kRingMod) return;
    table.setParameter(kQualityRow, effect == kDistortionPlain ? 0.0f : 0.75f);
    // The rows reach mode 0 only; the other shapers are set on the block directly.
    const int mode = effect == kDistortionSine ? 3 : (effect == kDistortionExponential ? 5 : 0);
    program.setParameterWord(1, kDistortionSlot, kModeWord, -1, uint16_t(mode));
}

// Range 0: the effect; range 1: held voices.
void BM_VoiceWithInsertEffect(benchmark::State& state) {
    const auto effect = static_cast<Effect>(state.range(0));
    const int voices = static_cast<int>(state.range(1));
    auto kernel = std::make_unique<CorvexKernel>();
    kernel->initialise();
    kernel->setSampleRate(44100.0);
    CorvanKernelProgram program(*kernel);
    program.initialise();
    program.setAssignParameters(32, 2, 2);
    program.setPartAssignMode(0, 0);
    CorvanParameters table(nullptr, program);
    chooseEffect(table, program, effect);

    float left[32], right[32];
    float* outputs[2] = {left, right};
    kernel->processBlock(2, outputs, 32);
    for (int n = 0; n < voices; ++n) kernel->sendMidiNote(0x90, 36 + 2 * n, 100);
    for (int i = 0; i < 100; ++i) kernel->processBlock(2, outputs, 32); // past the attacks

    double worst = 0.0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        kernel->processBlock(2, outputs, 32);
        benchmark::DoNotOptimize(left[0]);
        worst = std::max(worst, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    const int sounding = kernel->soundingVoiceCount();
    state.counters["voices"] = sounding;
    state.counters["ns_per_voice_sample"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * 32.0 * std::max(sounding, 1),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["worst_block_us"] = worst * 1e6;
}
BENCHMARK(BM_VoiceWithInsertEffect)
    ->ArgsProduct({{kPlain, kDistortionOversampled, kDistortionPlain, kDistortionSine, kDistortionExponential, kRingMod},
                   {8, 32}})
    ->ArgNames({"effect", "voices"});

} // namespace
