// Live connection edits while voices sound: after every random insert, removal or replacement the
// voices' bindings match the records, every port's reader count matches the bindings that read it,
// the input counts match a recount, and once the part stops nothing is left taken.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <vector>

#include "engine/modules/BlockBufferStore.h"
#include "engine/modules/ModuleFramework.h"
#include "engine/program/CorvanKernelProgram.h"
#include "tests/engine/KernelTestHelpers.h"

namespace corvex::testing {
namespace {

struct Taken {
    int buffers;
    std::vector<int> pools;
    bool operator==(const Taken& o) const { return buffers == o.buffers && pools == o.pools; }
};

Taken taken(CorvexKernel& kernel) {
    Taken t{kernel.bufferStore().freeCount(), {}};
    for (int p = 0; p < kModulePoolCount; ++p) t.pools.push_back(kernel.modulePools().pool(p)->freeCount());
    return t;
}

class LiveEdits : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        kernel = makeKernel();
        program = std::make_unique<CorvanKernelProgram>(*kernel);
        program->initialise();
        program->setAssignParameters(32, 2, 2);
        program->setPartAssignMode(0, 0);
        program->stopPart(1);
        block();
        idle = taken(*kernel);
        program->startPart(1);
        block();
    }
    void block() { render(*kernel, out); }
    int send(const KernelMessage& m) { return kernel->processMessage(m.words, m.wordCount); }

    // A record between slots that exist in every voice or part, into an input the slot has.
    void randomRecord(std::mt19937& rng, uint16_t words[8]) {
        static const int kSources[] = {0, 1, 2, 3, 4, 5, 6, 7, 9, 10, 11, 12, 13, 14, 15, 16, 17,
                                       20, 21, 22, 23, 24, 25, 26, 29, 30};
        static const int kDestinations[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 23, 24, 25, 29, 30, 31};
        const int source = kSources[rng() % std::size(kSources)];
        const int destination = kDestinations[rng() % std::size(kDestinations)];
        const int sourcePorts = std::max<int>(1, kPortCountByType[kModuleSlots[static_cast<size_t>(source)].type]);
        const ConnectionRecord r =
            packConnection(static_cast<int>(rng() % 3), static_cast<int>(rng() % kModuleSlots[static_cast<size_t>(destination)].inputs),
                           0, source, static_cast<int>(rng() % sourcePorts), destination,
                           static_cast<uint16_t>(rng() % 16385), 0);
        encodeConnection(r, words);
    }

    void checkInvariants(const char* step) {
        CorvexProgram& part = *const_cast<CorvexProgram*>(kernel->program(0));
        const ModuleManager& m = part.connections;
        std::map<const PortEntry*, uint32_t> readers;
        auto portOf = [&](const VoiceRecord* v, const ConnectionRecord& r) -> PortEntry* {
            const int s = r.sourceSlot();
            void* module = s < kVoiceSlotCount ? (v ? v->modules[s] : nullptr)
                           : s < kPartSlotCount ? part.partModules[s - kVoiceSlotCount]
                                                : nullptr;
            return module ? modulePortAddress(module, r.sourcePort()) : nullptr;
        };
        for (int i = 0; i < kVoiceCount; ++i) {
            const VoiceRecord& v = kernel->voice(i);
            if (v.ownerPart != 0 || !v.built) continue;
            for (int r = 0; r < kMaxConnections; ++r) {
                PortEntry* expected = nullptr;
                if (r < m.count()) {
                    const int d = m.record(r).destinationSlot();
                    if (d < kVoiceSlotCount && v.modules[d] != nullptr) expected = portOf(&v, m.record(r));
                }
                ASSERT_EQ(v.bindings[r], expected) << step << " voice " << i << " record " << r;
                if (expected) ++readers[expected];
            }
            for (int s = 0; s < kVoiceSlotCount; ++s)
                ASSERT_EQ(v.modules[s] != nullptr, m.positionOf(s) != kNone) << step << " slot " << s;
        }
        for (int r = 0; r < m.count(); ++r) {
            const int d = m.record(r).destinationSlot();
            PortEntry* expected = nullptr;
            if (d >= kVoiceSlotCount && d < kPartSlotCount && part.partModules[d - kVoiceSlotCount])
                expected = portOf(nullptr, m.record(r));
            ASSERT_EQ(part.partBindings[r], expected) << step << " part record " << r;
            if (expected) ++readers[expected];
        }
        for (const auto& [port, n] : readers) ASSERT_EQ(port->users(), n) << step;
        std::vector<uint32_t> counts(kModuleInputCount, 0);
        for (int r = 0; r < m.count(); ++r) {
            const ConnectionRecord& rec = m.record(r);
            ++counts[static_cast<size_t>(slotInputBase(rec.destinationSlot()) + rec.destinationPort())];
        }
        for (int i = 0; i < kModuleInputCount; ++i) ASSERT_EQ(m.inputCount(i), counts[static_cast<size_t>(i)]) << step;
    }

    std::unique_ptr<CorvexKernel> kernel;
    std::unique_ptr<CorvanKernelProgram> program;
    Block out;
    Taken idle;
};

TEST_P(LiveEdits, RandomEditsKeepVoicesBoundAndLeakNothing) {
    const int voices = GetParam();
    for (int n = 0; n < voices; ++n) kernel->sendMidiNote(0x90, 30 + n, 100);
    ASSERT_EQ(kernel->soundingVoiceCount(), voices);
    checkInvariants("start");

    std::mt19937 rng(static_cast<uint32_t>(voices));
    int steps = 0;
    for (; steps < 300; ++steps) {
        const ModuleManager& m = kernel->program(0)->connections;
        const int action = static_cast<int>(rng() % 3);
        uint16_t words[8];
        int result = 0;
        if (action == 0 && m.count() < kMaxConnections) {
            randomRecord(rng, words);
            result = send(KernelMessage::makeAddConnection(1, static_cast<int>(rng() % (m.count() + 1)), words));
        } else if (action == 1 && m.count() > 0) {
            result = send(KernelMessage::makeRemoveConnection(1, static_cast<int>(rng() % m.count())));
        } else if (m.count() > 0) {
            randomRecord(rng, words);
            result = send(KernelMessage::makeReplaceConnection(1, static_cast<int>(rng() % m.count()), words));
        }
        if (result < 0) break; // the store or a pool ran out: voices may be left half patched
        checkInvariants("edit");
        block();
        if (HasFatalFailure()) return;
    }
    // Eight voices never run out; with more, a long random walk may fill the store first.
    EXPECT_GE(steps, voices == 8 ? 300 : 100);

    kernel->allNotesOff();
    program->stopPart(1);
    block();
    EXPECT_EQ(taken(*kernel), idle) << "buffers or pool items leaked";
}

INSTANTIATE_TEST_SUITE_P(Voices, LiveEdits, ::testing::Values(8, 16, 32));

} // namespace
} // namespace corvex::testing
