// Setting every parameter row once through its mapper: what loading a preset or a morph step costs.
#include <benchmark/benchmark.h>

#include <memory>

#include "engine/kernel/CorvexKernel.h"
#include "engine/program/CorvanKernelProgram.h"
#include "instrument/params/CorvanParameters.h"

namespace {

void BM_SetEveryRow(benchmark::State& state) {
    auto kernel = std::make_unique<corvex::CorvexKernel>();
    kernel->initialise();
    kernel->setSampleRate(44100.0);
    auto program = std::make_unique<corvex::CorvanKernelProgram>(*kernel);
    program->initialise();
    corvex::CorvanParameters table(nullptr, *program);
    float outL[32], outR[32];
    float* outs[2] = {outL, outR};
    int round = 0;
    for (auto _ : state) {
        // Alternate values so that switches really switch and connections really move.
        const float value = (round++ & 1) ? 0.8f : 0.2f;
        for (int i = 0; i < corvex::ParameterMapping::kCount; ++i) table.setParameter(i, value);
        state.PauseTiming();
        kernel->processBlock(2, outs, 32); // the kernel takes what is still queued
        state.ResumeTiming();
    }
    state.counters["rows"] = corvex::ParameterMapping::kCount;
}
BENCHMARK(BM_SetEveryRow)->Unit(benchmark::kMillisecond);

} // namespace
