// A parameter rig for the insert-effect chain tests: choosing effects, reading the program's and the
// kernel's connection lists and module words, and counting what the table tells its listener.
#pragma once

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "engine/kernel/CorvexKernel.h"
#include "engine/kernel/CorvexProgram.h"
#include "engine/program/CorvanKernelProgram.h"
#include "instrument/params/CorvanParameters.h"
#include "instrument/params/ParameterIndex.h"
#include "tests/instrument/core/ParameterRig.h"

namespace corvex::testing {

// The choices of a chain's selector row, in its order.
enum EffectChoice { kNoEffect, kChorus, kDistortion, kEq, kPhaser, kRingMod };

struct Link {
    int sourceSlot, sourcePort, destinationSlot, destinationPort; // kind 0
    bool operator==(const Link& o) const {
        return sourceSlot == o.sourceSlot && sourcePort == o.sourcePort && destinationSlot == o.destinationSlot &&
               destinationPort == o.destinationPort;
    }
};

class RecordingListener : public MapperManagerListener {
public:
    void valueChanged(int index, float value) override { heard.emplace_back(index, value); }
    std::vector<std::pair<int, float>> heard;
};

class EffectChainRig : public ::testing::Test, protected ParameterRig {
protected:
    void SetUp() override { build(); }

    void build() {
        ParameterRig::build(&listener);
        deliver();
        listener.heard.clear();
    }

    void deliver() { kernel->processPendingMessages(1000); }
    int posted() const { return kernel->pendingMessageCount(); }

    // The table row of a chain-1 Upper row number in chain `chain` of layer `layer`.
    static int row(int upperChain1Row, int chain = 0, int layer = 0) {
        return ParameterIndex::unfold(ParameterIndex::foldEffectIndex(chain, upperChain1Row), layer);
    }
    static float choiceValue(int choice) { return ParameterMapping::stepToValue(choice, 6); }
    static float sourceValue(int source) { return ParameterMapping::stepToValue(source, 10); }

    void choose(int choice, int chain = 0, int layer = 0) {
        table->setParameter(row(249, chain, layer), choiceValue(choice));
    }

    bool has(int part, Link l) const {
        return program->findConnection(part, l.sourceSlot, l.sourcePort, 0, l.destinationSlot, l.destinationPort) >= 0;
    }
    int amount(int part, Link l) const {
        return program->getConnectionAmount(part, l.sourceSlot, l.sourcePort, 0, l.destinationSlot,
                                            l.destinationPort);
    }
    int word(int part, int slot, int w) const { return program->getParameterWord(part, slot, w); }

    const ConnectionManager& programList(int part) const { return *program->connections(part); }
    const ConnectionManager& kernelList(int part) const { return kernel->program(part - 1)->connections; }
    static std::vector<ConnectionRecord> records(const ConnectionManager& m) {
        return std::vector<ConnectionRecord>(m.records(), m.records() + m.count());
    }

    RecordingListener listener;
};

} // namespace corvex::testing
