// Performance mode of the kernel: blocks rendered per second and the share of real time they use.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

#include "engine/kernel/CorvexKernel.h"
#include "engine/program/CorvanKernelProgram.h"

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
    auto kernel = makeKernel(44100.0);
    float left[32], right[32];
    float* outputs[2] = {left, right};
    corvex::KernelMessage m;
    const uint16_t words[4] = {corvex::MessageType::SetParameter, (corvex::ModuleType::ValueSource << 8) | 2, (5 << 8) | 0, 16384};
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

// Held notes of the initial program, Whole (one layer) or Dual (both layers: a key takes two voices),
// each voice rendered alone (together 0, the plain path) or a part's voices together (together 1).
// Reports nanoseconds per voice-sample, the real-time factor and the worst single block.
void BM_InitialProgram(benchmark::State& state) {
    const int voices = static_cast<int>(state.range(0));
    const bool dual = state.range(1) != 0;
    auto kernel = makeKernel(44100.0);
    kernel->setVoicesTogether(state.range(2) != 0);
    corvex::CorvanKernelProgram program(*kernel);
    program.initialise();
    program.setAssignParameters(32, 2, 2);
    program.setPartAssignMode(0, 0);
    program.setPartAssignMode(1, 0);
    if (dual) {
        program.startPart(2);
        program.setKeyMode(corvex::CorvanKernelProgram::Dual);
    }
    float left[32], right[32];
    float* outputs[2] = {left, right};
    kernel->processBlock(2, outputs, 32);
    const int keys = dual ? std::max(voices / 2, 1) : voices;
    for (int n = 0; n < keys; ++n) kernel->sendMidiNote(0x90, 36 + 2 * n, 100);
    for (int i = 0; i < 100; ++i) kernel->processBlock(2, outputs, 32); // past the attacks

    // Block times in tenths of a microsecond, so that a rare preempted block can be told from the
    // blocks' own worst: the 99.9th percentile leaves out one block in a thousand.
    constexpr int kBins = 20000;
    std::vector<uint32_t> histogram(kBins + 1, 0);
    double worst = 0.0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        kernel->processBlock(2, outputs, 32);
        benchmark::DoNotOptimize(left[0]);
        const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        worst = std::max(worst, took);
        ++histogram[static_cast<size_t>(std::min(took * 1e7, double(kBins)))];
    }
    uint64_t seen = 0;
    int bin = 0;
    const auto blocks = static_cast<uint64_t>(state.iterations());
    for (; bin < kBins && (seen + histogram[bin]) * 1000 < blocks * 999; ++bin) seen += histogram[bin];
    const double period = 32.0 / 44100.0;
    const int sounding = kernel->soundingVoiceCount();
    reportRealTimeShare(state, 44100.0);
    state.counters["voices"] = sounding;
    state.counters["ns_per_voice_sample"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * 32.0 * std::max(sounding, 1),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["worst_block_us"] = worst * 1e6;
    state.counters["worst_block_rt_factor"] = worst > 0.0 ? period / worst : 0.0;
    state.counters["worst_block_share"] = worst / period;
    state.counters["p999_block_share"] = (bin + 1) * 1e-7 / period;
}
BENCHMARK(BM_InitialProgram)->ArgsProduct({{1, 8, 16, 32}, {0, 1}, {0, 1}})->ArgNames({"voices", "dual", "together"});

} // namespace

BENCHMARK_MAIN();
