// Performance mode of the kernel: blocks rendered per second and the share of real time they use.
#include <benchmark/benchmark.h>

#include <memory>

#include "engine/kernel/CorvexKernel.h"
#include "engine/program/CorvanKernelProgram.h"
#include "tests/support/SignalChecks.h"

namespace {

using corvex::CorvexKernel;

std::unique_ptr<CorvexKernel> makeKernel(double rate) {
    auto kernel = std::make_unique<CorvexKernel>();
    kernel->initialise();
    kernel->setSampleRate(rate);
    return kernel;
}

// Seconds of audio rendered per second of one core: its inverse is the share of real time used.
void reportRealTimeShare(benchmark::State& state, double rate) {
    const double audioSeconds = static_cast<double>(state.iterations()) * 32.0 / rate;
    state.counters["audio_s_per_s"] = benchmark::Counter(audioSeconds, benchmark::Counter::kIsRate);
    state.SetItemsProcessed(state.iterations() * 32);
}

// Range 0: an idle kernel; range 1: with the test tone, the cheapest sound it makes.
void BM_RenderBlock(benchmark::State& state) {
    corvex::testing::ScopedFlushDenormals ftz;
    auto kernel = makeKernel(44100.0);
    kernel->setTestTone(state.range(0) != 0);
    float left[32], right[32];
    float* outputs[2] = {left, right};
    for (auto _ : state) {
        kernel->processBlock(2, outputs, 32);
        benchmark::DoNotOptimize(left[0]);
    }
    reportRealTimeShare(state, 44100.0);
}
BENCHMARK(BM_RenderBlock)->Arg(0)->Arg(1);

// A full ring of parameter messages executed in one block: the worst case of message handling.
void BM_FullRingOfParameterMessages(benchmark::State& state) {
    corvex::testing::ScopedFlushDenormals ftz;
    auto kernel = makeKernel(44100.0);
    float left[32], right[32];
    float* outputs[2] = {left, right};
    corvex::KernelMessage m;
    const uint16_t words[4] = {(0 << 8) | 12, (1 << 8) | 2, (5 << 8) | 0, 16384};
    for (int i = 0; i < 4; ++i) m.words[i] = words[i];
    m.wordCount = 4;
    for (auto _ : state) {
        state.PauseTiming();
        for (int i = 0; i < 255; ++i) kernel->postMessage(m);
        kernel->drainNotifications();
        state.ResumeTiming();
        kernel->processBlock(2, outputs, 32);
    }
}
BENCHMARK(BM_FullRingOfParameterMessages);

// Held notes of the initial program with noise through the mixer into the voice output, the path
// that sounds before the oscillators; range: the number of voices.
void BM_SoundingVoices(benchmark::State& state) {
    corvex::testing::ScopedFlushDenormals ftz;
    auto kernel = makeKernel(44100.0);
    corvex::CorvanKernelProgram program(*kernel);
    program.initialise();
    program.setAssignParameters(32, 2, 2);
    program.setPartAssignMode(0, 0);
    program.setParameterWord(1, 26, 10, -1, 8192);
    program.setParameterWord(1, 26, 15, -1, 2);
    program.connect(1, 26, 3, 0, 9, 2, 16384, 0);
    program.disconnect(1, 5, 0, 0, 8, 0);
    program.connect(1, 9, 0, 0, 8, 0, 16384, 0);
    float left[32], right[32];
    float* outputs[2] = {left, right};
    kernel->processBlock(2, outputs, 32);
    for (int n = 0; n < state.range(0); ++n) kernel->sendMidiNote(0x90, 40 + n, 100);
    for (auto _ : state) {
        kernel->processBlock(2, outputs, 32);
        benchmark::DoNotOptimize(left[0]);
    }
    reportRealTimeShare(state, 44100.0);
}
BENCHMARK(BM_SoundingVoices)->Arg(1)->Arg(8)->Arg(32);

} // namespace

BENCHMARK_MAIN();
