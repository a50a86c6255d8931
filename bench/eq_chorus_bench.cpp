// Insert effects in the voice path: nanoseconds per voice-sample beside the plain voice, and the worst
// block when a full load of chorus voices starts and ends at once.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>
#include <vector>

#include "engine/kernel/CorvexKernel.h"
#include "engine/program/CorvanKernelProgram.h"
#include "instrument/params/CorvanParameters.h"
#include "instrument/params/ParameterIndex.h"
#include "instrument/params/ParameterMapping.h"

namespace {

using corvex::CorvexKernel;

constexpr int kChoiceRow = 249;
constexpr double kRate = 44100.0;
constexpr double kBlockSeconds = 32.0 / kRate;

struct Instrument {
    std::unique_ptr<CorvexKernel> kernel;
    std::unique_ptr<corvex::CorvanKernelProgram> program;
    std::unique_ptr<corvex::CorvanParameters> table;
    float left[32] = {}, right[32] = {};
    float* outputs[2] = {left, right};

    Instrument() {
        kernel = std::make_unique<CorvexKernel>();
        kernel->initialise();
        kernel->setSampleRate(kRate);
        program = std::make_unique<corvex::CorvanKernelProgram>(*kernel);
        program->initialise();
        program->setAssignParameters(32, 2, 2);
        program->setPartAssignMode(0, 0);
        table = std::make_unique<corvex::CorvanParameters>(nullptr, *program);
    }

    // Effect choice 0 is the plain voice, 1 the chorus, 3 the equaliser.
    void choose(int choice, int chain) {
        const int row = corvex::ParameterIndex::unfold(corvex::ParameterIndex::foldEffectIndex(chain, kChoiceRow), 0);
        table->setParameter(row, corvex::ParameterMapping::stepToValue(choice, 6));
    }

    double timedBlock() {
        const auto start = std::chrono::steady_clock::now();
        kernel->processBlock(2, outputs, 32);
        benchmark::DoNotOptimize(left[0]);
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
};

void BM_InsertEffect(benchmark::State& state) {
    const int choice = static_cast<int>(state.range(0));
    const int voices = static_cast<int>(state.range(1));
    Instrument in;
    in.choose(choice, 0);
    in.kernel->processBlock(2, in.outputs, 32);
    for (int n = 0; n < voices; ++n) in.kernel->sendMidiNote(0x90, 36 + 2 * n, 100);
    for (int i = 0; i < 100; ++i) in.kernel->processBlock(2, in.outputs, 32);
    double worst = 0.0;
    for (auto _ : state) worst = std::max(worst, in.timedBlock());
    const int sounding = in.kernel->soundingVoiceCount();
    state.counters["voices"] = sounding;
    state.counters["ns_per_voice_sample"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * 32.0 * std::max(sounding, 1),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["worst_block_us"] = worst * 1e6;
}
BENCHMARK(BM_InsertEffect)->ArgsProduct({{0, 1, 3}, {8, 32}})->ArgNames({"effect", "voices"});

// Thirty-two voices with a chorus in both chains (64 choruses) start in one block and are released
// in one block; every block of the cycle is timed, up to the last voice's end. What starting or ending
// adds to a held block is what must stay under a quarter of the block period (181 us at 44.1 kHz).
void BM_ChorusVoicesStartAndEndTogether(benchmark::State& state) {
    Instrument in;
    in.choose(1, 0);
    in.choose(1, 1);
    in.kernel->processBlock(2, in.outputs, 32);
    double worstStart = 0.0, worstHeld = 0.0, worstEnd = 0.0;
    for (auto _ : state) {
        for (int n = 0; n < 32; ++n) in.kernel->sendMidiNote(0x90, 36 + n, 100);
        worstStart = std::max(worstStart, in.timedBlock());
        for (int i = 0; i < 100; ++i) worstHeld = std::max(worstHeld, in.timedBlock());
        for (int n = 0; n < 32; ++n) in.kernel->sendMidiNote(0x80, 36 + n, 0);
        for (int i = 0; i < 20000 && in.kernel->soundingVoiceCount() > 0; ++i)
            worstEnd = std::max(worstEnd, in.timedBlock());
    }
    state.counters["worst_start_block_us"] = worstStart * 1e6;
    state.counters["worst_held_block_us"] = worstHeld * 1e6;
    state.counters["worst_end_block_us"] = worstEnd * 1e6;
    state.counters["quarter_period_us"] = kBlockSeconds * 0.25 * 1e6;
}
BENCHMARK(BM_ChorusVoicesStartAndEndTogether)->Iterations(10)->Unit(benchmark::kMillisecond);

// What clearing the lines would have cost: 64 choruses of eight 8192-sample lines each, in one block.
void BM_ClearingSixtyFourChorusLineSets(benchmark::State& state) {
    constexpr size_t kBytes = 8 * 8192 * sizeof(float);
    std::vector<unsigned char> lines(64 * kBytes, 1);
    for (auto _ : state) {
        for (int i = 0; i < 64; ++i) std::memset(lines.data() + size_t(i) * kBytes, 0, kBytes);
        benchmark::ClobberMemory();
    }
    state.counters["quarter_period_us"] = kBlockSeconds * 0.25 * 1e6;
}
BENCHMARK(BM_ClearingSixtyFourChorusLineSets)->Unit(benchmark::kMicrosecond);

} // namespace
