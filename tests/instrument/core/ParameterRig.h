// A kernel, its program and the parameter table on top, built afresh for the parameter tests.
#pragma once

#include <memory>
#include <vector>

#include "engine/kernel/CorvexKernel.h"
#include "engine/program/CorvanKernelProgram.h"
#include "instrument/params/CorvanParameters.h"

namespace corvex::testing {

// A route as a test names it: source slot and port, kind, destination slot and port.
struct Route {
    int sourceSlot, sourcePort, kind, destinationSlot, destinationPort;
};

// Every value the table tells its listener, in order.
struct Heard : MapperManagerListener {
    struct Change {
        int index;
        float value;
    };
    void valueChanged(int index, float value) override { changes.push_back({index, value}); }
    bool heardValue(int index, float value) const {
        for (const Change& c : changes)
            if (c.index == index && c.value == value) return true;
        return false;
    }
    std::vector<Change> changes;
};

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

    // A fresh program and table on the same kernel, which first takes what the old program posted: for
    // tests that compare program images many times over, where a new kernel each time costs too much.
    void rebuildProgram(MapperManagerListener* listener = nullptr) {
        table.reset();
        program.reset();
        deliver();
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

    // Lets the kernel take everything posted so far, and counts what waits for it.
    void deliver() { kernel->processPendingMessages(1000); }
    int posted() const { return kernel->pendingMessageCount(); }

    // A route in the kernel program's list of a part (1 or 2), and in the kernel's own.
    int find(int part, Route r) const {
        return program->findConnection(part, r.sourceSlot, r.sourcePort, r.kind, r.destinationSlot, r.destinationPort);
    }
    bool has(int part, Route r) const { return find(part, r) >= 0; }
    int amount(int part, Route r) const {
        return program->getConnectionAmount(part, r.sourceSlot, r.sourcePort, r.kind, r.destinationSlot,
                                            r.destinationPort);
    }
    int second(int part, Route r) const {
        const int i = find(part, r);
        return i < 0 ? -1 : program->connections(part)->record(i).second;
    }
    int connectionCount(int part) const { return program->connections(part)->count(); }
    int kernelConnectionCount(int part) const { return kernel->program(part - 1)->connections.count(); }
    bool kernelHas(int part, Route r) const {
        return kernel->program(part - 1)->connections.find(r.sourceSlot, r.sourcePort, r.kind, r.destinationSlot,
                                                           r.destinationPort) >= 0;
    }
    int word(int part, int slot, int w) const { return program->getParameterWord(part, slot, w); }

    std::unique_ptr<CorvexKernel> kernel;
    std::unique_ptr<CorvanKernelProgram> program;
    std::unique_ptr<CorvanParameters> table;
};

} // namespace corvex::testing
