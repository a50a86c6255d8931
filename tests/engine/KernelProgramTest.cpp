// The kernel program: the initial image and what it sends, parameter and connection edits, multi
// settings, and the 'prog' and 'mult' streams with malformed input.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "engine/modules/ModuleFramework.h"
#include "engine/program/CorvanKernelProgram.h"
#include "engine/program/InitialProgram.h"
#include "tests/engine/KernelTestHelpers.h"

namespace corvex::testing {
namespace {

class Program : public ::testing::Test {
protected:
    void SetUp() override {
        kernel = makeKernel();
        program = std::make_unique<CorvanKernelProgram>(*kernel);
        program->initialise();
    }
    // Everything queued so far, oldest first; the ring is emptied by executing it.
    std::vector<KernelMessage> takePending() {
        std::vector<KernelMessage> out;
        for (int i = 0; i < kernel->pendingMessageCount(); ++i) out.push_back(kernel->pendingMessage(i));
        Block block;
        render(*kernel, block);
        return out;
    }
    std::vector<uint16_t> part(int section) {
        const uint16_t* p = program->sectionImage(section);
        return std::vector<uint16_t>(p, p + (section == 0 ? kGlobalSectionWords : kPartAreaWords));
    }
    std::vector<uint8_t> writePart(int section) {
        MemoryWordOutput out;
        program->writePart(section, out);
        return out.bytes;
    }
    static int type(const KernelMessage& m) { return m.words[0] & 255; }
    static int target(const KernelMessage& m) { return m.words[0] >> 8; }

    std::unique_ptr<CorvexKernel> kernel;
    std::unique_ptr<CorvanKernelProgram> program;
};

TEST_F(Program, InitialMessagesStartTheUpperLayerAlone) {
    const std::vector<KernelMessage> sent = takePending();
    // stop 1; per layer two connection-list chunks and 31 blocks; six kernel blocks; start, enable, disable.
    ASSERT_EQ(sent.size(), 1u + 2 * 33 + 6 + 3);
    EXPECT_EQ(type(sent[0]), MessageType::StopParts);
    EXPECT_EQ(target(sent[0]), 1);
    for (int layer = 0; layer < 2; ++layer) {
        const KernelMessage& first = sent[1 + 33 * layer];
        const KernelMessage& second = sent[2 + 33 * layer];
        EXPECT_EQ(first.words[1], 0x3201);
        EXPECT_EQ(first.words[3], 0x0000) << "chunk 0, not last";
        EXPECT_EQ(first.wordCount, 7 + 8 * 31);
        EXPECT_EQ(second.words[3], 0x0101) << "chunk 1, last";
        EXPECT_EQ(second.wordCount, 4 + 8 * 14);
    }
    const int kernelBlocks[] = {33, 34, 35, 36, 37, 40};
    for (int i = 0; i < 6; ++i) {
        const KernelMessage& m = sent[67 + i];
        EXPECT_EQ(type(m), MessageType::ModuleData);
        EXPECT_EQ(target(m), 0);
        EXPECT_EQ(moduleSlotIndex(m.words[2] & 255, m.words[1] & 255, m.words[1] >> 8), kernelBlocks[i]);
    }
    EXPECT_EQ(type(sent[73]), MessageType::StartParts);
    EXPECT_EQ(type(sent[74]), MessageType::EnablePart);
    EXPECT_EQ(type(sent[75]), MessageType::DisablePart);
    EXPECT_EQ(target(sent[75]), 2);

    EXPECT_TRUE(kernel->program(0)->running);
    EXPECT_TRUE(kernel->program(0)->enabled);
    EXPECT_FALSE(kernel->program(1)->running);
    EXPECT_FALSE(kernel->program(1)->enabled);
    EXPECT_EQ(kernel->program(0)->keyLow, 0);
    EXPECT_EQ(kernel->program(0)->keyHigh, 127);
    EXPECT_TRUE(kernel->partSetup(0).bits & 1u);
    EXPECT_TRUE(kernel->partSetup(1).bits & 1u);
    EXPECT_FALSE(kernel->partSetup(2).bits & 1u);
    for (int slot = 35; slot <= 37; ++slot)
        EXPECT_EQ(kernel->globalRecord(slot).as<EffectSlotParams>().hostedType, ModuleType::PassThrough) << slot;
}

TEST_F(Program, KernelAndProgramHoldTheSameInitialList) {
    takePending();
    for (int section = 1; section <= 2; ++section) {
        const ConnectionManager& mine = *program->connections(section);
        const ModuleManager& theirs = kernel->program(section - 1)->connections;
        ASSERT_EQ(mine.count(), kInitialConnectionCount);
        ASSERT_EQ(theirs.count(), kInitialConnectionCount);
        for (int i = 0; i < kInitialConnectionCount; ++i) {
            const InitialConnection& c = kInitialConnections[i];
            EXPECT_EQ(mine.record(i), theirs.record(i)) << i;
            EXPECT_EQ(mine.record(i).sourceSlot(), c.sourceSlot) << i;
            EXPECT_EQ(mine.record(i).destinationSlot(), c.destinationSlot) << i;
            EXPECT_EQ(mine.record(i).amount, c.amount) << i;
        }
        EXPECT_EQ(theirs.moduleAt(0), 0);
        EXPECT_EQ(theirs.moduleAt(1), 1);
        EXPECT_EQ(part(section)[CorvanKernelProgram::kConnectionListAt], kInitialConnectionCount);
    }
}

TEST_F(Program, ImageLayoutAndBlockLookup) {
    EXPECT_EQ(program->getBlock(0, 38).words, nullptr);
    EXPECT_EQ(program->getBlock(0, 39).words, nullptr);
    EXPECT_EQ(program->getBlock(0, 3).words, nullptr);
    EXPECT_EQ(program->getBlock(1, 28).words, nullptr);
    EXPECT_EQ(program->getBlock(1, 28).length, 0);
    EXPECT_EQ(program->getBlock(5, 1).words, nullptr);
    const auto osc = program->getBlock(2, 3);
    EXPECT_EQ(osc.length, 20);
    EXPECT_EQ(osc.words[0], 0x200);
    EXPECT_EQ(osc.words[1], 0x0301);
    EXPECT_EQ(osc.words[3], 8);
    EXPECT_EQ(osc.words[9], 9011);
    EXPECT_EQ(program->getBlock(0, 40).length, 15);
}

TEST_F(Program, ParameterWordsAreTruncatedAndPosted) {
    takePending();
    struct Case {
        float v;
        uint16_t word;
    };
    for (const Case c : {Case{1.0f, 16384}, Case{0.99999f, 16383}, Case{0.75f, 12288}, Case{0.0f, 0},
                         Case{-0.5f, 0}, Case{10.0f, 65535}}) {
        program->setParameter(1, 4, 7, c.v);
        EXPECT_EQ(program->getBlock(1, 4).words[7], c.word) << c.v;
        const std::vector<KernelMessage> sent = takePending();
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(sent[0].words[3], c.word);
    }
    program->setParameterWord(1, 4, 99, -1, 5); // beyond the block: nothing
    program->setParameterWord(1, 4, -1, 8, 77);
    EXPECT_EQ(program->getBlock(1, 4).words[8], 77);
    EXPECT_EQ(takePending().size(), 1u);
}

TEST_F(Program, ConnectionEditsPostOnlyWhatChanged) {
    takePending();
    EXPECT_EQ(program->connect(1, 0, 0, 0, 1, 0, 100, 0), 0) << "exists already";
    EXPECT_TRUE(takePending().empty());

    // A new connection into slot 1 sorts to the front of the list and is still posted.
    const int i = program->connect(1, 20, 0, 1, 1, 0, 5000, 0);
    EXPECT_EQ(i, 1);
    std::vector<KernelMessage> sent = takePending();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(type(sent[0]), MessageType::InsertConnection);
    EXPECT_EQ(kernel->program(0)->connections.count(), 46);
    EXPECT_EQ(kernel->program(0)->connections.record(1), program->connections(1)->record(1));

    EXPECT_EQ(program->setConnectionAmount(1, 20, 0, 1, 1, 0, 7000), 1);
    EXPECT_EQ(program->getConnectionAmount(1, 20, 0, 1, 1, 0), 7000);
    EXPECT_EQ(program->setDoubleConnection(1, 20, 0, 21, 0, 1, 1, 0, 7000, 0, 0), 1);
    EXPECT_EQ(program->disconnect(1, 21, 0, 1, 1, 0), 1);
    EXPECT_EQ(program->disconnect(1, 21, 0, 1, 1, 0), -1);
    EXPECT_EQ(program->setConnectionAmount(1, 21, 0, 1, 1, 0, 1), -1);
    EXPECT_EQ(program->getConnectionAmount(1, 21, 0, 1, 1, 0), 0);
    sent = takePending();
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(type(sent[0]), MessageType::SetConnectionAmount);
    EXPECT_EQ(type(sent[1]), MessageType::ReplaceConnection);
    EXPECT_EQ(type(sent[2]), MessageType::RemoveConnection);
    const ModuleManager& theirs = kernel->program(0)->connections;
    ASSERT_EQ(theirs.count(), 45);
    for (int r = 0; r < 45; ++r) EXPECT_EQ(theirs.record(r), program->connections(1)->record(r)) << r;
}

// The program refuses every route the kernel would refuse, so the two lists never part: a refused
// edit posts nothing, later edits by index still reach the same record on both sides, and the layer
// still saves and reads back.
TEST_F(Program, RoutesTheKernelRefusesAreRefusedHere) {
    takePending();
    struct Case {
        const char* name;
        int sourceSlot, sourcePort, kind, destinationSlot, destinationPort;
    };
    const Case cases[] = {
        {"port the destination lacks (slot 1 has one input)", 0, 0, 0, 1, 1},
        {"destination with no inputs", 1, 0, 0, 0, 0},
        {"port beyond a part slot's inputs", 26, 0, 0, 29, 2},
        {"source port beyond four bits", 1, 16, 0, 2, 0},
        {"kind beyond four bits", 1, 0, 16, 2, 0},
        {"source slot beyond the table", 41, 0, 0, 2, 0},
        {"destination slot beyond the table", 1, 0, 0, 41, 0},
        {"negative port", 1, 0, 0, 2, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(program->connect(1, c.sourceSlot, c.sourcePort, c.kind, c.destinationSlot, c.destinationPort,
                                   9000, 0),
                  -1)
            << c.name;
        // The same route as the new source of an existing connection (1/5 -> 2/0).
        if (c.destinationSlot == 2 && c.destinationPort == 0 && c.kind == 0) {
            EXPECT_EQ(program->setDoubleConnection(1, 1, 5, c.sourceSlot, c.sourcePort, 0, 2, 0, 9000, 0, 0), -1)
                << c.name;
        }
    }
    EXPECT_EQ(program->setDoubleConnection(1, 1, 5, 1, 5, 0, 2, 0, 9000, 0, 8), -1) << "mode beyond three bits";
    EXPECT_TRUE(takePending().empty()) << "a refused edit posts nothing";

    const ConnectionManager& mine = *program->connections(1);
    const ModuleManager& theirs = kernel->program(0)->connections;
    auto sameLists = [&](const char* step) {
        ASSERT_EQ(mine.count(), theirs.count()) << step;
        for (int r = 0; r < mine.count(); ++r) ASSERT_EQ(mine.record(r), theirs.record(r)) << step << " " << r;
    };
    sameLists("after the refusals");
    EXPECT_EQ(mine.count(), kInitialConnectionCount);

    // The first refused route would have sorted in at index 1, ahead of 1/5 -> 2/0 (index 4).
    const int i = program->setConnectionAmount(1, 1, 5, 0, 2, 0, 1234);
    EXPECT_EQ(i, 4);
    takePending();
    sameLists("after an amount edit");
    EXPECT_EQ(theirs.record(4).sourceSlot(), 1);
    EXPECT_EQ(theirs.record(4).amount, 1234);

    const std::vector<uint8_t> stored = writePart(1);
    MemoryWordInput in(stored);
    auto kernel2 = makeKernel();
    CorvanKernelProgram other(*kernel2);
    other.initialise();
    ASSERT_TRUE(other.readPart(1, in));
    ASSERT_EQ(other.connections(1)->count(), kInitialConnectionCount);
    for (int r = 0; r < kInitialConnectionCount; ++r) EXPECT_EQ(other.connections(1)->record(r), mine.record(r)) << r;
}

TEST_F(Program, LayerBalanceAndVolume) {
    struct Case {
        float v;
        uint16_t first, second;
    };
    for (const Case c : {Case{0.5f, 16384, 16384}, Case{0.25f, 8192, 16384}, Case{1.0f, 16384, 0},
                         Case{0.0f, 0, 16384}}) {
        program->setLayerBalance(c.v);
        const uint16_t* runner = program->getBlock(0, 34).words;
        EXPECT_EQ(runner[7], c.first) << c.v;
        EXPECT_EQ(runner[11], c.second) << c.v;
        EXPECT_FLOAT_EQ(program->getLayerBalance(), c.v);
    }
    program->setScaledWord(0.25f);
    EXPECT_EQ(program->getBlock(0, 34).words[28], 4096);
    EXPECT_FLOAT_EQ(program->getScaledWord(), 0.25f);
}

TEST_F(Program, KeyModesKeepTheSplitKey) {
    auto keys = [&](int part) {
        const uint16_t* g = program->getBlock(0, 33).words + 7 + 10 * (part - 1);
        return std::pair<int, int>(g[8], g[9]);
    };
    program->setKeyMode(CorvanKernelProgram::Split);
    EXPECT_EQ(keys(1), std::make_pair(60, 127));
    EXPECT_EQ(keys(2), std::make_pair(0, 59));
    takePending();
    EXPECT_EQ(kernel->program(0)->keyLow, 60);
    EXPECT_EQ(kernel->program(1)->keyHigh, 59);
    EXPECT_TRUE(kernel->program(1)->enabled);

    program->setSplitKey(48);
    program->setSplitPoint();
    EXPECT_EQ(keys(1), std::make_pair(48, 127));
    program->setKeyMode(CorvanKernelProgram::Whole);
    EXPECT_EQ(keys(1), std::make_pair(0, 127));
    program->setKeyMode(CorvanKernelProgram::Dual);
    EXPECT_EQ(keys(2), std::make_pair(0, 127));
    EXPECT_EQ(program->getSplitKey(), 48);
    program->setKeyMode(CorvanKernelProgram::Split);
    EXPECT_EQ(keys(1), std::make_pair(48, 127));
    EXPECT_EQ(keys(2), std::make_pair(0, 47));
}

// A split at key 0 leaves the lower layer no key at all and the upper one every key; at key 1 the
// lower layer has key 0 alone. The empty range survives the multi stream.
TEST_F(Program, SplitAtTheBottomKeyLeavesTheLowerLayerEmpty) {
    // Sounding voices that play `note`, by part.
    auto voicesOn = [](const CorvexKernel& k, int note) {
        std::pair<int, int> n{0, 0};
        for (int i = 0; i < kVoiceCount; ++i) {
            const VoiceRecord& v = k.voice(i);
            if (v.state != VoiceRecord::Sounding || v.note != note) continue;
            if (v.ownerPart == 0) ++n.first;
            if (v.ownerPart == 1) ++n.second;
        }
        return n;
    };
    struct Case {
        int splitKey, note;
        std::pair<int, int> voices; // upper, lower
    };
    const Case cases[] = {
        {0, 0, {1, 0}}, {0, 1, {1, 0}}, {0, 127, {1, 0}},
        {1, 0, {0, 1}}, {1, 1, {1, 0}},
        {60, 59, {0, 1}}, {60, 60, {1, 0}},
    };
    for (const bool reloaded : {false, true}) {
        for (const Case& c : cases) {
            SetUp();
            program->setSplitKey(c.splitKey);
            program->setKeyMode(CorvanKernelProgram::Split);
            program->startPart(2);
            CorvexKernel* heard = kernel.get();
            std::unique_ptr<CorvexKernel> kernel2;
            std::unique_ptr<CorvanKernelProgram> other;
            if (reloaded) {
                // A second instrument that takes the kernel-global blocks from the stream alone.
                MemoryWordOutput out;
                program->writeMultiBlocks(out);
                kernel2 = makeKernel();
                other = std::make_unique<CorvanKernelProgram>(*kernel2);
                other->initialise();
                MemoryWordInput in(out.bytes);
                ASSERT_TRUE(other->readPart(0, in));
                other->startPart(2);
                other->enablePart(2);
                heard = kernel2.get();
            }
            Block b;
            render(*heard, b);
            heard->sendMidiNote(0x90, c.note, 100);
            EXPECT_EQ(voicesOn(*heard, c.note), c.voices)
                << "split " << c.splitKey << " note " << c.note << (reloaded ? " reloaded" : "");
        }
    }
}

TEST_F(Program, AssignModesWriteTheVoiceSetupBlock) {
    program->setAssignParameters(8, 1, 3);
    auto words = [&](int mode) {
        program->setPartAssignMode(0, mode);
        const uint16_t* b = program->getBlock(1, 27).words;
        return std::vector<int>{b[3], b[15], b[17]};
    };
    EXPECT_EQ(words(0), (std::vector<int>{0, 1, 8}));
    EXPECT_EQ(words(1), (std::vector<int>{5, 1, 1}));
    EXPECT_EQ(words(2), (std::vector<int>{1, 3, 8}));
    EXPECT_EQ(words(3), words(0));
    EXPECT_EQ(words(4), (std::vector<int>{1, 1, 8}));

    takePending();
    program->setPartAssignMode(1, 2);
    const std::vector<KernelMessage> sent = takePending();
    ASSERT_EQ(sent.size(), 2u);
    // All notes off of the layer's part reaches the kernel as controller 123 of that part.
    EXPECT_EQ(type(sent[0]), MessageType::MidiEvent);
    EXPECT_EQ(target(sent[0]), 0xB1);
    EXPECT_EQ(sent[0].words[1] & 255, 123);
    EXPECT_EQ(kernel->processMessage(sent[0].words, sent[0].wordCount), 0);
}

TEST_F(Program, HoldAndBendReachTheKernel) {
    program->setHold(1, true);
    EXPECT_EQ(kernel->getHold(1), 1);
    program->setVoiceAssignMode(4);
    program->setHold(0, true);
    EXPECT_EQ(kernel->getHold(0), 2);
    program->setHold(0, false);
    EXPECT_EQ(kernel->getHold(0), 0);

    takePending();
    program->setBend(1.0f);
    EXPECT_FLOAT_EQ(program->getBend(), 1.0f);
    takePending();
    EXPECT_NEAR(kernel->program(0)->bend, 1.0f, 1e-4f);
    EXPECT_NEAR(kernel->program(1)->bend, 1.0f, 1e-4f);
}

TEST_F(Program, EffectTypesRebuildTheirSlots) {
    for (int selector = 0; selector <= 4; ++selector) {
        program->setEffectType(1, selector);
        EXPECT_EQ(program->getEffectType(1), selector);
        EXPECT_EQ(program->getBlock(0, 36).words[3], 8);
    }
    takePending();
    EXPECT_EQ(kernel->globalRecord(36).as<EffectSlotParams>().hostedType, 40);
}

TEST_F(Program, LongBlocksReachTheKernelWhole) {
    const auto sequencer = program->getBlock(1, 24);
    ASSERT_EQ(sequencer.length, 417);
    const KernelMessage m = KernelMessage::makeModuleData(1, 41, 1, 0, sequencer.words, sequencer.length);
    EXPECT_EQ(m.wordCount, 421);
    EXPECT_EQ(std::memcmp(m.words + 4, sequencer.words, 417 * sizeof(uint16_t)), 0);
    EXPECT_EQ(kernel->processMessage(m.words, m.wordCount), 0);
}

TEST_F(Program, WrittenPartHoldsEveryBlockAndTheList) {
    const std::vector<uint8_t> bytes = writePart(1);
    // 31 blocks (the part area less the list's 385 words) and a list head of 3 words with 45 records.
    EXPECT_EQ(bytes.size(), 2u * (kPartAreaWords - 385 + 3 + 8 * 45));
}

TEST_F(Program, PartStreamRoundTripsByteForByte) {
    program->setParameter(1, 2, 9, 0.3f);
    program->setParameter(1, 24, 200, 0.6f);
    program->connect(1, 20, 0, 1, 1, 0, 5000, 0);
    program->disconnect(1, 26, 0, 0, 2, 5);
    const std::vector<uint8_t> bytes = writePart(1);
    const std::vector<uint16_t> image = part(1);

    auto kernel2 = makeKernel();
    CorvanKernelProgram other(*kernel2);
    other.initialise();
    MemoryWordInput in(bytes);
    ASSERT_TRUE(other.readPart(2, in));
    const uint16_t* lower = other.sectionImage(2);
    EXPECT_TRUE(std::equal(image.begin(), image.end(), lower));
    MemoryWordOutput again;
    other.writePart(2, again);
    EXPECT_EQ(again.bytes, bytes);
}

TEST_F(Program, MultiStreamRoundTrips) {
    program->setEffectType(0, 3);
    program->setLayerBalance(0.3f);
    program->setKeyMode(CorvanKernelProgram::Split);
    MemoryWordOutput out;
    program->writeMultiBlocks(out);
    EXPECT_EQ(out.bytes.size(), 2u * (47 + 29 + 40 * 3 + 15));
    const std::vector<uint16_t> image = part(0);

    auto kernel2 = makeKernel();
    CorvanKernelProgram other(*kernel2);
    other.initialise();
    MemoryWordInput in(out.bytes);
    ASSERT_TRUE(other.readPart(0, in));
    const uint16_t* global = other.sectionImage(0);
    EXPECT_TRUE(std::equal(image.begin(), image.end(), global));
    EXPECT_EQ(other.getEffectType(0), 3);
}

TEST_F(Program, ShortVoiceControlBlockKeepsDefaultsForTheRest) {
    std::vector<uint16_t> block(30, 0);
    block[0] = 0x200;
    block[1] = 0x0200;
    block[2] = 30;
    block[3] = 8;
    uint16_t* mine = program->getBlockAddress(1, 1);
    mine[29] = 1; // the defaults, not this, must be found afterwards
    MemoryWordOutput out;
    for (uint16_t w : block) out.writeWord(w);
    MemoryWordInput in(out.bytes);
    ASSERT_TRUE(program->readPart(1, in));
    const uint16_t* b = program->getBlockAddress(1, 1);
    EXPECT_EQ(b[29], 0) << "word 29 came from the stream";
    EXPECT_EQ(b[30], 1365);
    EXPECT_EQ(b[34], 16384);
    EXPECT_EQ(b[38], 16384);
    EXPECT_EQ(b[2], 39);
}

// A stored list whose records no longer all resolve loads every record that does, in its order,
// on both sides, and names each skipped record on stderr.
TEST_F(Program, UnresolvedRecordsAreSkippedAndTheRestLoad) {
    program->connect(1, 20, 0, 1, 1, 0, 5000, 0); // 46 records, so a load into section 2 shows
    program->setParameterWord(1, 29, 9, -1, 4321); // a block stored after the list
    const std::vector<ConnectionRecord> written(program->connections(1)->records(),
                                                program->connections(1)->records() + 46);
    const std::vector<uint8_t> good = writePart(1);
    const size_t listAt = kModuleSlots[28].blockAt;
    struct Breakage {
        int word;
        uint16_t value;
    };
    const Breakage unknownSlot{1, 0x0005}, missingPort{5, 0x0040}, unknownDestination{4, 0x0105};
    struct Case {
        const char* name;
        std::vector<std::pair<int, Breakage>> broken; // record index, what is wrong with it
    };
    const Case cases[] = {
        {"unknown source in the middle", {{20, unknownSlot}}},
        {"port no slot has, first record", {{0, missingPort}}},
        {"unknown destination, last record", {{45, unknownDestination}}},
        {"three records", {{3, missingPort}, {20, unknownSlot}, {45, unknownDestination}}},
    };
    for (const Case& c : cases) {
        SetUp();
        std::vector<uint8_t> bytes = good;
        std::vector<ConnectionRecord> expected;
        std::string expectedLog;
        for (int r = 0; r < 46; ++r) {
            bool skipped = false;
            for (const auto& [index, b] : c.broken) {
                if (index != r) continue;
                const size_t at = 2 * (listAt + 3 + 8 * static_cast<size_t>(r) + static_cast<size_t>(b.word));
                bytes[at] = static_cast<uint8_t>(b.value & 255);
                bytes[at + 1] = static_cast<uint8_t>(b.value >> 8);
                skipped = true;
            }
            if (skipped)
                expectedLog += "Kernel program : connection record " + std::to_string(r) + " skipped\n";
            else
                expected.push_back(written[static_cast<size_t>(r)]);
        }
        MemoryWordInput in(bytes);
        ::testing::internal::CaptureStderr();
        const bool ok = program->readPart(2, in);
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), expectedLog) << c.name;
        ASSERT_TRUE(ok) << c.name;
        takePending();
        const ConnectionManager& mine = *program->connections(2);
        const ModuleManager& theirs = kernel->program(1)->connections;
        ASSERT_EQ(mine.count(), static_cast<int>(expected.size())) << c.name;
        ASSERT_EQ(theirs.count(), mine.count()) << c.name;
        EXPECT_EQ(part(2)[CorvanKernelProgram::kConnectionListAt], expected.size()) << c.name;
        for (int r = 0; r < mine.count(); ++r) {
            EXPECT_EQ(mine.record(r), expected[static_cast<size_t>(r)]) << c.name << " " << r;
            EXPECT_EQ(theirs.record(r), expected[static_cast<size_t>(r)]) << c.name << " " << r;
        }
        EXPECT_EQ(program->getBlock(2, 29).words[9], 4321) << c.name << ": the stream is read on past the list";
    }
}

TEST_F(Program, MalformedStreamsLeaveTheImageAndRestartThePart) {
    const std::vector<uint8_t> good = writePart(1);
    auto withWord = [&](size_t wordIndex, uint16_t value) {
        std::vector<uint8_t> b = good;
        b[2 * wordIndex] = static_cast<uint8_t>(value & 255);
        b[2 * wordIndex + 1] = static_cast<uint8_t>(value >> 8);
        return b;
    };
    const size_t listAt = kModuleSlots[28].blockAt; // every block before the list is written whole
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
    };
    std::vector<Case> cases = {
        {"truncated in a block", std::vector<uint8_t>(good.begin(), good.begin() + 101)},
        {"truncated in a header", std::vector<uint8_t>(good.begin(), good.begin() + 2 * 6 + 4)},
        {"odd byte at the end", [&] { auto b = good; b.push_back(0); return b; }()},
        {"block length below 3", withWord(2, 2)},
        {"negative block length", withWord(2, 0x8000)},
        {"list longer than 96 records", withWord(listAt + 2, 8 * 97 + 3)},
        {"list length not whole records", withWord(listAt + 2, 8 * 45 + 4)},
        // A record that is skipped must not hide the truncation that follows it.
        {"skipped record, then truncated in the list", [&] {
             std::vector<uint8_t> b = withWord(listAt + 3 + 1, 0x0005);
             b.resize(2 * (listAt + 3 + 8 * 10 + 4));
             return b;
         }()},
    };
    std::mt19937 rng(11);
    for (int i = 0; i < 300; ++i) {
        std::vector<uint8_t> b = good;
        for (int k = 0; k < 4; ++k) b[rng() % b.size()] = static_cast<uint8_t>(rng());
        b.resize(rng() % (b.size() + 1));
        cases.push_back({"random", b});
    }
    ASSERT_EQ(good[2 * listAt + 2], 0x00);
    ASSERT_EQ(good[2 * listAt + 3], 0x32) << "listAt must point at the list's head";
    for (const Case& c : cases) {
        const std::vector<uint16_t> before = part(1);
        const int beforeCount = program->connections(1)->count();
        takePending();
        MemoryWordInput in(c.bytes);
        ::testing::internal::CaptureStderr(); // random streams may hold records that are skipped
        const bool ok = program->readPart(1, in);
        ::testing::internal::GetCapturedStderr();
        const std::vector<KernelMessage> sent = takePending();
        ASSERT_FALSE(sent.empty()) << c.name;
        EXPECT_EQ(type(sent.front()), MessageType::StopParts) << c.name;
        EXPECT_EQ(type(sent.back()), MessageType::StartParts) << c.name;
        EXPECT_TRUE(kernel->program(0)->running) << c.name;
        if (!ok) {
            EXPECT_EQ(part(1), before) << c.name;
            EXPECT_EQ(program->connections(1)->count(), beforeCount) << c.name;
            EXPECT_EQ(sent.size(), 2u) << c.name;
        }
        if (std::string(c.name) != "random") {
            EXPECT_FALSE(ok) << c.name;
        }
    }
}

TEST_F(Program, WordStoredAtOneIndexIsPostedUnderAnother) {
    program->setEffectType(0, 2);
    takePending();
    // A hosted effect's parameter 7 lives at slot word 17; the slot's own words 7..9 stay.
    program->setParameterWordAs(0, 35, 17, 7, 4096);
    const auto slot = program->getBlock(0, 35);
    EXPECT_EQ(slot.words[17], 4096);
    EXPECT_EQ(slot.words[7], 2);
    EXPECT_EQ(slot.words[8], 1);
    EXPECT_EQ(slot.words[9], 0);
    ASSERT_EQ(kernel->pendingMessageCount(), 1);
    const KernelMessage m = kernel->pendingMessage(0);
    EXPECT_EQ(type(m), MessageType::SetParameter);
    EXPECT_EQ(target(m), 0);
    EXPECT_EQ(m.words[1] >> 8, 49);
    EXPECT_EQ(m.words[2], (7 << 8) | 0);
    EXPECT_EQ(m.words[3], 4096);
    EXPECT_EQ(kernel->processMessage(m.words, m.wordCount), 0);
    takePending();

    struct Refused {
        const char* name;
        int section, slot, storageWord, messageWord;
    };
    for (const Refused r : {Refused{"header word", 0, 35, 2, 7}, Refused{"past the block", 0, 35, 40, 7},
                            Refused{"negative message word", 0, 35, 17, -1},
                            Refused{"message word past a byte", 0, 35, 17, 256 + 7},
                            Refused{"slot without a block", 0, 38, 17, 7}, Refused{"no such section", 5, 4, 7, 7}}) {
        const std::vector<uint16_t> before = part(0);
        program->setParameterWordAs(r.section, r.slot, r.storageWord, r.messageWord, 999);
        EXPECT_EQ(kernel->pendingMessageCount(), 0) << r.name;
        EXPECT_EQ(part(0), before) << r.name;
    }
}

} // namespace
} // namespace corvex::testing
