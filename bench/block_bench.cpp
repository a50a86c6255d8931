// The instrument's block path (BlockRenderer over the product kernel) against the kernel alone, at host
// block sizes, with 32 voices of the initial program sounding: what the carry, tempo and CPU load add.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <vector>

#include "engine/kernel/CorvexKernel.h"
#include "engine/program/CorvanKernelProgram.h"
#include "instrument/audio/BlockRenderer.h"
#include "instrument/audio/CorvexBlockKernel.h"

namespace {

using corvex::CorvexKernel;
using Clock = std::chrono::steady_clock;

constexpr double kRate = 44100.0;
constexpr int kVoices = 32;
constexpr int kFrames = corvex::BlockKernel::kFrames;

// A kernel holding 32 notes of the initial program, past their attacks.
struct SoundingKernel {
    std::unique_ptr<CorvexKernel> kernel = std::make_unique<CorvexKernel>();
    std::unique_ptr<corvex::CorvanKernelProgram> program;

    SoundingKernel() {
        kernel->initialise();
        kernel->setSampleRate(kRate);
        program = std::make_unique<corvex::CorvanKernelProgram>(*kernel);
        program->initialise();
        program->setAssignParameters(kVoices, 2, 2);
        program->setPartAssignMode(0, 0);
        program->setPartAssignMode(1, 0);
        float left[kFrames], right[kFrames];
        float* outputs[2] = {left, right};
        kernel->processBlock(2, outputs, kFrames);
        for (int n = 0; n < kVoices; ++n) kernel->sendMidiNote(0x90, 36 + 2 * n, 100);
        for (int i = 0; i < 100; ++i) kernel->processBlock(2, outputs, kFrames);
    }
};

// Each iteration times one host block through the renderer and, on a twin kernel in the same state, the
// same number of bare 32-frame kernel blocks. Interleaving the two keeps clock and cache drift out of the
// ratio. The iteration time is the block path's alone.
void BM_BlockPathOverKernel(benchmark::State& state) {
    const int samples = static_cast<int>(state.range(0));
    SoundingKernel viaRenderer;
    SoundingKernel alone;
    corvex::CorvexBlockKernel blockKernel(*viaRenderer.kernel);
    corvex::BlockRenderer renderer(blockKernel, nullptr);
    renderer.setSampleRate(kRate);
    alone.kernel->setTempo(static_cast<float>(corvex::BlockRenderer::kDefaultBpm)); // the tempo the renderer sets

    std::vector<float> hostLeft(static_cast<size_t>(samples)), hostRight(static_cast<size_t>(samples));
    float left[kFrames], right[kFrames];
    float* outputs[2] = {left, right};
    const int kernelBlocks = (samples + kFrames - 1) / kFrames;

    double rendererSeconds = 0.0;
    double kernelSeconds = 0.0;
    auto timeRenderer = [&] {
        const auto t0 = Clock::now();
        renderer.process(nullptr, 0, hostLeft.data(), hostRight.data(), samples, false, 0.0);
        return std::chrono::duration<double>(Clock::now() - t0).count();
    };
    auto timeKernel = [&] {
        const auto t0 = Clock::now();
        for (int b = 0; b < kernelBlocks; ++b) alone.kernel->processBlock(2, outputs, kFrames);
        return std::chrono::duration<double>(Clock::now() - t0).count();
    };
    bool rendererFirst = true;
    for (auto _ : state) {
        // Taking turns at going first keeps whichever side finds the caches colder from biasing the ratio.
        double r = 0.0, k = 0.0;
        if (rendererFirst) {
            r = timeRenderer();
            k = timeKernel();
        } else {
            k = timeKernel();
            r = timeRenderer();
        }
        rendererFirst = !rendererFirst;
        benchmark::DoNotOptimize(hostLeft[0]);
        benchmark::DoNotOptimize(left[0]);
        rendererSeconds += r;
        kernelSeconds += k;
        state.SetIterationTime(r);
    }

    const double totalSamples = static_cast<double>(state.iterations()) * samples;
    state.counters["voices"] = viaRenderer.kernel->soundingVoiceCount();
    state.counters["voices_alone"] = alone.kernel->soundingVoiceCount();
    state.counters["block_ns_per_sample"] = rendererSeconds * 1e9 / totalSamples;
    state.counters["kernel_ns_per_sample"] = kernelSeconds * 1e9 / totalSamples;
    state.counters["ratio_to_kernel"] = kernelSeconds > 0.0 ? rendererSeconds / kernelSeconds : 0.0;
    state.counters["overhead_pct"] = kernelSeconds > 0.0 ? (rendererSeconds / kernelSeconds - 1.0) * 100.0 : 0.0;
    state.SetItemsProcessed(state.iterations() * samples);
}
BENCHMARK(BM_BlockPathOverKernel)->Arg(32)->Arg(64)->Arg(256)->Arg(1024)->ArgName("samples")->UseManualTime();

} // namespace
