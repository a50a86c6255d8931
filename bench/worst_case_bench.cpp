// The realistic worst case of the whole engine: 32 voices with both insert chains, LFO, X/Y and the step
// sequencer routed on both layers, the arpeggiator playing the Lower layer, and master effects in both
// slots. Blocks are timed one by one and reported as a share of the 32-frame period; so are the spikes of
// choosing a master effect and of an all-notes-off over 32 chorus voices.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>
#include <numeric>
#include <vector>

#include "engine/dsp/ScopedNoDenormals.h"
#include "engine/kernel/CorvexKernel.h"
#include "engine/modules/types/Reverb.h"
#include "engine/program/CorvanKernelProgram.h"
#include "instrument/params/CorvanParameters.h"
#include "instrument/params/ParameterIndex.h"
#include "instrument/params/ParameterMapping.h"

namespace {

using corvex::CorvexKernel;
using corvex::ParameterMapping;
using Clock = std::chrono::steady_clock;

constexpr double kRate = 44100.0;
constexpr double kPeriodUs = 32.0 / kRate * 1e6;

// Choices of an insert chain's selector row and of a master slot's.
enum Insert { kNoInsert, kChorus, kDistortion, kEq, kInsertPhaser, kRingMod };
enum Master { kNoMaster, kStChorus, kStDelay, kStReverb, kStPhaser };

// One line per configuration; each is a benchmark of its own.
struct Scenario {
    Insert chains[2];
    Master slots[2];
};
constexpr Scenario kScenarios[] = {
    {{kDistortion, kChorus}, {kStReverb, kStDelay}},
    {{kDistortion, kChorus}, {kStReverb, kStChorus}},
    {{kInsertPhaser, kChorus}, {kStPhaser, kStDelay}},
};

// Master effects whose choice is timed in the running worst case.
constexpr Master kChosenMasters[] = {kStReverb, kStChorus, kStDelay, kStPhaser};

// Upper-layer rows (the Lower twin comes from ParameterIndex::unfold) and multi rows.
constexpr int kLfoRateRow = 0, kOscLfoAmountRow = 6, kLfoWaveRow = 211, kOscModSelectRow = 216;
constexpr int kXRouterDestinationRow = 444, kXRouterAmountRow = 33, kQuorbitRateRows[] = {29, 30, 31};
constexpr int kSequencerRateRow = 39, kSequencerLengthRow = 582, kFirstStepRow = 450, kSequencerAmountRow = 45,
              kSequencerSourceRow = 586, kSequencerDestinationRow = 583;
constexpr int kLowPassCutoff = 6, kDestinations = 9; // entry of the X/Y and sequencer destination lists
constexpr int kChainSelectorRow = 249, kDryWetRow = 48, kDriveRow = 49, kQualityRow = 67, kOutputRow = 69;
constexpr int kKeyModeRow = corvex::ParameterIndex::kKeyMode, kSplitKeyRow = corvex::ParameterIndex::kSplitKey,
              kArpeggioModeRow = corvex::ParameterIndex::kArpeggioMode;
constexpr const int (&kMasterChoiceRows)[2] = corvex::ParameterIndex::kMasterEffectType;
constexpr int kSplitKey = 48;

double microsecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

struct Instrument {
    std::unique_ptr<CorvexKernel> kernel = std::make_unique<CorvexKernel>();
    std::unique_ptr<corvex::CorvanKernelProgram> program;
    std::unique_ptr<corvex::CorvanParameters> table;
    float left[32] = {}, right[32] = {};
    float* outputs[2] = {left, right};

    Instrument() {
        kernel->initialise();
        kernel->setSampleRate(kRate);
        program = std::make_unique<corvex::CorvanKernelProgram>(*kernel);
        program->initialise();
        program->setAssignParameters(32, 2, 2);
        program->setPartAssignMode(0, 0);
        table = std::make_unique<corvex::CorvanParameters>(nullptr, *program);
    }

    void set(int upperRow, int layer, float value) {
        table->setParameter(corvex::ParameterIndex::unfold(upperRow, layer), value);
    }
    void chooseInsert(int chain, int layer, Insert choice) {
        const int row = corvex::ParameterIndex::foldEffectIndex(chain, kChainSelectorRow);
        set(row, layer, ParameterMapping::stepToValue(choice, 6));
        if (choice != kDistortion) return;
        // Mode 0, oversampled: the dearest of the distortion's settings.
        for (const auto& [r, v] : {std::pair{kDryWetRow, 1.0f}, {kDriveRow, 0.5f}, {kOutputRow, 0.75f},
                                   {kQualityRow, 0.75f}})
            set(corvex::ParameterIndex::foldEffectIndex(chain, r), layer, v);
    }
    void chooseMaster(int slot, Master choice) {
        table->setParameter(kMasterChoiceRows[slot], ParameterMapping::stepToValue(choice, 5));
    }

    // The modulation every layer runs: a sine LFO on the first oscillator's pitch, the X/Y module's
    // rotated X and an eight-step sequence on the low-pass cutoff.
    void routeModulation(int layer) {
        set(kLfoWaveRow, layer, 0.125f);
        set(kLfoRateRow, layer, 0.6f);
        set(kOscModSelectRow, layer, 0.9f);
        set(kOscLfoAmountRow, layer, 0.3f);
        for (int r : kQuorbitRateRows) set(r, layer, 0.5f);
        set(kXRouterDestinationRow, layer, ParameterMapping::stepToValue(kLowPassCutoff, kDestinations));
        set(kXRouterAmountRow, layer, 0.4f);
        set(kSequencerRateRow, layer, 0.7f);
        set(kSequencerLengthRow, layer, ParameterMapping::stepToValue(7, 32));
        for (int s = 0; s < 8; ++s) set(kFirstStepRow + s, layer, float(s) / 8.0f);
        set(kSequencerAmountRow, layer, 0.5f);
        set(kSequencerSourceRow, layer, ParameterMapping::stepToValue(0, 2));
        set(kSequencerDestinationRow, layer, ParameterMapping::stepToValue(kLowPassCutoff, kDestinations));
    }

    double timedBlock() {
        const auto start = Clock::now();
        kernel->processBlock(2, outputs, 32);
        benchmark::DoNotOptimize(left[0]);
        return microsecondsSince(start);
    }
    // A block takes at most 256 posted messages; the set-up posts more.
    void deliver() {
        while (kernel->pendingMessageCount() > 0) run(1);
    }
    void run(int blocks) {
        for (int i = 0; i < blocks; ++i) kernel->processBlock(2, outputs, 32);
    }
};

// Split at C3: the Upper layer holds a 30-note chord and the arpeggiator plays three Lower keys, whose
// notes overlap by one: all 32 voices sound.
void buildWorstCase(Instrument& in, const Scenario& s) {
    in.table->setParameter(kKeyModeRow, ParameterMapping::stepToValue(2, 3));
    in.table->setParameter(kSplitKeyRow, ParameterMapping::stepToValue(kSplitKey, 128));
    in.program->startPart(2); // as a loaded sound would: the initial program starts only the Upper layer
    in.table->setParameter(kArpeggioModeRow, ParameterMapping::stepToValue(1, 5));
    for (int layer = 0; layer < 2; ++layer) {
        for (int chain = 0; chain < 2; ++chain) in.chooseInsert(chain, layer, s.chains[chain]);
        in.routeModulation(layer);
    }
    for (int slot = 0; slot < 2; ++slot) in.chooseMaster(slot, s.slots[slot]);
    in.deliver();
    for (int n = 0; n < 30; ++n) in.kernel->sendMidiNote(0x90, kSplitKey + n, 100);
    for (int key : {36, 40, 43}) in.kernel->sendMidiNote(0x90, key, 100);
    in.run(400); // past the attacks, with the arpeggio going
}

struct Figures {
    double mean, p99, worst;
};
Figures figuresOf(std::vector<double> us) {
    if (us.empty()) return {0.0, 0.0, 0.0};
    const double mean = std::accumulate(us.begin(), us.end(), 0.0) / double(us.size());
    std::sort(us.begin(), us.end());
    return {mean, us[std::min(us.size() - 1, us.size() * 99 / 100)], us.back()};
}
void reportShares(benchmark::State& state, const Figures& f, const char* prefix = "") {
    const std::string p(prefix);
    state.counters[p + "mean_pct"] = 100.0 * f.mean / kPeriodUs;
    state.counters[p + "p99_pct"] = 100.0 * f.p99 / kPeriodUs;
    state.counters[p + "worst_pct"] = 100.0 * f.worst / kPeriodUs;
    state.counters[p + "worst_us"] = f.worst;
}

// Every block of a long run of the worst case; one iteration is one block.
void BM_WorstCaseBlocks(benchmark::State& state) {
    corvex::ScopedNoDenormals flush;
    Instrument in;
    buildWorstCase(in, kScenarios[state.range(0)]);
    std::vector<double> us;
    us.reserve(1 << 20);
    int leastVoices = 32;
    double voices = 0.0;
    for (auto _ : state) {
        us.push_back(in.timedBlock());
        const int sounding = in.kernel->soundingVoiceCount();
        leastVoices = std::min(leastVoices, sounding);
        voices += sounding;
    }
    reportShares(state, figuresOf(us));
    state.counters["least_voices"] = leastVoices;
    state.counters["mean_voices"] = voices / double(us.size());
    state.counters["period_us"] = kPeriodUs;
}
BENCHMARK(BM_WorstCaseBlocks)->DenseRange(0, int(std::size(kScenarios)) - 1)->Iterations(20000)->Unit(
    benchmark::kMicrosecond);

// The block that takes a new master effect into the second slot of the running worst case: the old
// effect goes back to its pool and the new one is initialised in that block.
void BM_ChoosingAMasterEffect(benchmark::State& state) {
    corvex::ScopedNoDenormals flush;
    const Master choice = kChosenMasters[state.range(0)];
    Instrument in;
    buildWorstCase(in, kScenarios[0]);
    std::vector<double> chosen, after;
    for (auto _ : state) {
        state.PauseTiming();
        in.chooseMaster(1, kNoMaster);
        in.deliver();
        in.run(20);
        in.chooseMaster(1, choice);
        state.ResumeTiming();
        chosen.push_back(in.timedBlock());
        for (int i = 0; i < 20; ++i) after.push_back(in.timedBlock());
    }
    reportShares(state, figuresOf(chosen), "choice_");
    reportShares(state, figuresOf(after), "next_");
}
BENCHMARK(BM_ChoosingAMasterEffect)->DenseRange(0, int(std::size(kChosenMasters)) - 1)->Iterations(40)->Unit(
    benchmark::kMicrosecond);

// Controller 123 over 32 voices with a chorus in both chains (64 choruses), the master slots as in the
// worst case: the block that takes it, and every block after it until the last voice has gone.
void BM_AllNotesOffOverChorusVoices(benchmark::State& state) {
    corvex::ScopedNoDenormals flush;
    Instrument in;
    for (int chain = 0; chain < 2; ++chain) in.chooseInsert(chain, 0, kChorus);
    for (int slot = 0; slot < 2; ++slot) in.chooseMaster(slot, kScenarios[0].slots[slot]);
    in.deliver();
    std::vector<double> off, release;
    int leastVoices = 32;
    for (auto _ : state) {
        for (int n = 0; n < 32; ++n) in.kernel->sendMidiNote(0x90, 36 + n, 100);
        in.run(100);
        leastVoices = std::min(leastVoices, in.kernel->soundingVoiceCount());
        const auto start = Clock::now();
        in.kernel->allNotesOff(); // the audio thread hands it over before the block
        in.kernel->processBlock(2, in.outputs, 32);
        benchmark::DoNotOptimize(in.left[0]);
        off.push_back(microsecondsSince(start));
        for (int i = 0; i < 20000 && in.kernel->soundingVoiceCount() > 0; ++i) release.push_back(in.timedBlock());
    }
    reportShares(state, figuresOf(off), "cc123_");
    reportShares(state, figuresOf(release), "release_");
    state.counters["voices_before"] = leastVoices;
}
BENCHMARK(BM_AllNotesOffOverChorusVoices)->Iterations(20)->Unit(benchmark::kMillisecond);

// What clearing one reverb's lines in its init would add to a block: two megabytes of writes into
// memory the cache no longer holds (one of five items, in turn).
void BM_ClearingReverbLines(benchmark::State& state) {
    constexpr size_t kBytes = sizeof(corvex::ReverbModule::lines) + sizeof(corvex::ReverbModule::input);
    constexpr int kItems = 5;
    std::vector<unsigned char> items(kItems * kBytes, 1);
    std::vector<double> us;
    int item = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        std::memset(items.data() + size_t(item) * kBytes, 0, kBytes);
        benchmark::ClobberMemory();
        us.push_back(microsecondsSince(start));
        item = (item + 1) % kItems;
    }
    reportShares(state, figuresOf(us));
}
BENCHMARK(BM_ClearingReverbLines)->Iterations(200)->Unit(benchmark::kMicrosecond);

} // namespace
