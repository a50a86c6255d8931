// The phasers and the master delay: the block that selects "St. Delay" against the 32-frame period, what
// clearing the delay's lines in that block would cost, and the cost of a phaser in every voice.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>
#include <vector>

#include "engine/kernel/CorvexKernel.h"
#include "engine/modules/types/Delay.h"
#include "engine/program/CorvanKernelProgram.h"
#include "instrument/params/CorvanParameters.h"
#include "instrument/params/ParameterIndex.h"
#include "instrument/params/ParameterMapping.h"

namespace {

using corvex::CorvexKernel;

constexpr int kMasterChoiceRow = corvex::ParameterIndex::kMasterEffectType[0];
constexpr int kInsertChoiceRow = 249;
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

    // Master choices: 0 none, 1 chorus, 2 delay, 3 reverb, 4 phaser.
    void chooseMaster(int slot, int choice) {
        table->setParameter(kMasterChoiceRow + 15 * slot, corvex::ParameterMapping::stepToValue(choice, 5));
    }
    // Insert choices: 0 none, 1 chorus, 2 distortion, 3 equaliser, 4 phaser, 5 ring modulator.
    void chooseInsert(int choice, int chain) {
        const int row =
            corvex::ParameterIndex::unfold(corvex::ParameterIndex::foldEffectIndex(chain, kInsertChoiceRow), 0);
        table->setParameter(row, corvex::ParameterMapping::stepToValue(choice, 6));
    }

    double timedBlock() {
        const auto start = std::chrono::steady_clock::now();
        kernel->processBlock(2, outputs, 32);
        benchmark::DoNotOptimize(left[0]);
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
};

// Eight voices sound while "St. Delay" and "No Effect" take turns in master slot 0: the block that
// executes the choice (the old effect released, the delay taken from its pool and initialised) is timed
// beside the blocks that follow, against the 32-frame period (726 us at 44.1 kHz).
void BM_SelectingStDelay(benchmark::State& state) {
    Instrument in;
    for (int n = 0; n < 8; ++n) in.kernel->sendMidiNote(0x90, 48 + 3 * n, 100);
    for (int i = 0; i < 50; ++i) in.kernel->processBlock(2, in.outputs, 32);
    double worstSelect = 0.0, worstAfter = 0.0, selectSum = 0.0;
    int selections = 0;
    for (auto _ : state) {
        in.chooseMaster(0, 2);
        const double select = in.timedBlock();
        worstSelect = std::max(worstSelect, select);
        selectSum += select;
        ++selections;
        for (int i = 0; i < 20; ++i) worstAfter = std::max(worstAfter, in.timedBlock());
        in.chooseMaster(0, 0);
        for (int i = 0; i < 5; ++i) in.kernel->processBlock(2, in.outputs, 32);
    }
    state.counters["mean_select_block_us"] = selectSum / std::max(selections, 1) * 1e6;
    state.counters["worst_select_block_us"] = worstSelect * 1e6;
    state.counters["worst_following_block_us"] = worstAfter * 1e6;
    state.counters["period_us"] = kBlockSeconds * 1e6;
}
BENCHMARK(BM_SelectingStDelay)->Iterations(200)->Unit(benchmark::kMillisecond);

// What clearing both lines at selection would cost in that one block: 2 x 705600 float samples.
void BM_ClearingTheDelayLines(benchmark::State& state) {
    constexpr size_t kBytes = 2 * size_t(corvex::kDelayLineLength) * sizeof(float);
    std::vector<unsigned char> lines(kBytes, 1);
    for (auto _ : state) {
        std::memset(lines.data(), 0, kBytes);
        benchmark::ClobberMemory();
    }
    state.counters["period_us"] = kBlockSeconds * 1e6;
}
BENCHMARK(BM_ClearingTheDelayLines)->Unit(benchmark::kMicrosecond);

// A block with the master effects chosen, eight voices sounding: none, delay, phaser, delay and phaser.
void BM_MasterEffects(benchmark::State& state) {
    Instrument in;
    const int first = static_cast<int>(state.range(0)), second = static_cast<int>(state.range(1));
    in.chooseMaster(0, first);
    in.chooseMaster(1, second);
    for (int n = 0; n < 8; ++n) in.kernel->sendMidiNote(0x90, 48 + 3 * n, 100);
    for (int i = 0; i < 100; ++i) in.kernel->processBlock(2, in.outputs, 32);
    double worst = 0.0;
    for (auto _ : state) worst = std::max(worst, in.timedBlock());
    state.counters["worst_block_us"] = worst * 1e6;
}
BENCHMARK(BM_MasterEffects)->Args({0, 0})->Args({2, 0})->Args({4, 0})->Args({2, 4})->ArgNames({"slot1", "slot2"});

// The insert phaser on both chains of every voice, beside the plain voice: nanoseconds per voice-sample.
void BM_InsertPhaser(benchmark::State& state) {
    const int choice = static_cast<int>(state.range(0));
    Instrument in;
    in.chooseInsert(choice, 0);
    in.chooseInsert(choice, 1);
    in.kernel->processBlock(2, in.outputs, 32);
    for (int n = 0; n < 32; ++n) in.kernel->sendMidiNote(0x90, 36 + 2 * n, 100);
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
BENCHMARK(BM_InsertPhaser)->Arg(0)->Arg(4)->ArgNames({"effect"});

} // namespace
