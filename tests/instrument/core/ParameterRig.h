// A kernel, its program and the parameter table on top, built afresh for the parameter tests.
#pragma once

#include <memory>

#include "engine/kernel/CorvexKernel.h"
#include "engine/program/CorvanKernelProgram.h"
#include "instrument/params/CorvanParameters.h"

namespace corvex::testing {

class ParameterRig {
public:
    // Also called again by tests that need a fresh instrument: the table goes first, the kernel last.
    void build(MapperManagerListener* listener = nullptr) {
        table.reset();
        program.reset();
        kernel = std::make_unique<CorvexKernel>();
        kernel->initialise();
        kernel->setSampleRate(44100.0);
        program = std::make_unique<CorvanKernelProgram>(*kernel);
        program->initialise();
        table = std::make_unique<CorvanParameters>(listener, *program);
    }

    // One block, which also executes what was posted before it.
    void render() {
        float left[32], right[32];
        float* outs[2] = {left, right};
        kernel->processBlock(2, outs, 32);
    }

    std::unique_ptr<CorvexKernel> kernel;
    std::unique_ptr<CorvanKernelProgram> program;
    std::unique_ptr<CorvanParameters> table;
};

} // namespace corvex::testing
