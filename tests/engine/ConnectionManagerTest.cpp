// The connection manager: insertion order, the module order it derives, chunked lists and edits.
#include <gtest/gtest.h>

#include <vector>

#include "engine/kernel/KernelMessage.h"
#include "engine/modules/ConnectionManager.h"
#include "engine/program/InitialProgram.h"

namespace corvex {
namespace {

class Manager : public ::testing::Test {
protected:
    void SetUp() override { manager.attach(list, &countWord); }
    int add(int src, int srcPort, int dst, int dstPort, int kind = 0) {
        return manager.add(src, srcPort, kind, dst, dstPort, 16384, 0, 0);
    }
    std::vector<int> order() const {
        std::vector<int> slots;
        for (int p = 0; p < manager.totalModules(); ++p) slots.push_back(manager.moduleAt(p));
        return slots;
    }

    struct Probe : ConnectionManager {
        int add(int s, int sp, int k, int d, int dp, uint16_t a, uint16_t sec, int mode) {
            return addConnection(s, sp, k, d, dp, a, sec, mode);
        }
    } manager;
    ConnectionRecord list[kMaxConnections];
    uint16_t countWord = 0;
};

TEST_F(Manager, EqualConnectionsSitSideBySideInKeyOrder) {
    EXPECT_EQ(add(5, 0, 8, 0), 0);
    EXPECT_EQ(add(2, 0, 9, 0), 1);
    EXPECT_EQ(add(3, 0, 8, 0), 0) << "an equal key goes before the first record it equals";
    EXPECT_EQ(add(3, 0, 8, 0), 0);
    EXPECT_EQ(manager.count(), 4);
    EXPECT_EQ(countWord, 4) << "the count word in the image follows";
    EXPECT_EQ(manager.record(0).sourceSlot(), 3);
    EXPECT_EQ(manager.record(1).sourceSlot(), 3);
    EXPECT_EQ(manager.record(2).sourceSlot(), 5);
    EXPECT_EQ(manager.inputCount(slotInputBase(8)), 3u);
    EXPECT_EQ(manager.firstRecordOf(9), 3);
}

TEST_F(Manager, FullListRefusesMore) {
    for (int i = 0; i < kMaxConnections; ++i) ASSERT_GE(add(0, 0, 1, 0), 0);
    EXPECT_EQ(add(0, 0, 1, 0), -1);
    EXPECT_EQ(manager.addDoubleConnection(0, 0, 2, 0, 0, 1, 0, 16384, 0, 0), -1);
    EXPECT_EQ(manager.count(), kMaxConnections);
    ConnectionRecord r = list[0];
    EXPECT_EQ(manager.insertConnection(0, r), -1);
}

TEST_F(Manager, ModuleOrderPlacesSourcesByKind) {
    struct Case {
        const char* name;
        std::vector<std::vector<int>> routes; // source slot, destination slot
        std::vector<int> order;
        int voiceModules;
    };
    const std::vector<Case> cases = {
        {"a destination alone is not built", {{22, 31}}, {22}, 0},
        {"a part source goes to the part list", {{20, 23}}, {20}, 0},
        {"only the first value source is built", {{0, 1}, {0, 6}}, {0}, 1},
        // Records sit in destination order; sources are placed in the order the records meet them.
        {"value source, control, envelopes, outputs, others",
         {{3, 2}, {6, 8}, {1, 2}, {0, 1}, {7, 5}, {9, 4}},
         {0, 1, 7, 6, 8, 3, 9},
         7},
        {"kernel sources after the parts", {{34, 35}, {20, 23}, {2, 9}}, {2, 20, 34}, 1},
    };
    for (const Case& c : cases) {
        SetUp();
        manager.assign(nullptr, 0);
        for (const auto& r : c.routes) ASSERT_GE(add(r[0], 0, r[1], 0), 0) << c.name;
        manager.rebuild();
        EXPECT_EQ(order(), c.order) << c.name;
        EXPECT_EQ(manager.voiceModules(), c.voiceModules) << c.name;
        for (size_t p = 0; p < c.order.size(); ++p) EXPECT_EQ(manager.positionOf(c.order[p]), static_cast<int>(p));
    }
}

TEST_F(Manager, SecondValueSourceIsNeverBuilt) {
    add(0, 0, 1, 0);
    // Slot 20 is a part value source; a voice-level type-1 slot other than 0 does not exist, so a
    // second voice source can only be slot 0 again: it stays one module.
    add(0, 0, 6, 0);
    manager.rebuild();
    EXPECT_EQ(manager.voiceValueSources(), 1);
    EXPECT_EQ(manager.moduleAt(0), 0);
}

TEST_F(Manager, RebuildMapsOldPositionsToNew) {
    add(2, 0, 9, 0);
    add(3, 0, 9, 1);
    manager.rebuild();
    ASSERT_EQ(manager.positionOf(2), 0);
    ASSERT_EQ(manager.positionOf(3), 1);
    ConnectionRecord fromEnvelope = packConnection(0, 0, 0, 6, 0, 2, 16384, 0);
    uint8_t map[kPositionMapSize];
    manager.insertConnection(0, fromEnvelope, map);
    EXPECT_EQ(manager.positionOf(6), 0);
    EXPECT_EQ(map[0], manager.positionOf(2));
    EXPECT_EQ(map[1], manager.positionOf(3));
    EXPECT_EQ(map[2], kNone);
}

TEST_F(Manager, ChunkedListCountsOnlyOnTheLastChunk) {
    uint16_t words[kInitialConnectionCount * kExternalConnectionWords];
    for (int i = 0; i < kInitialConnectionCount; ++i) {
        const InitialConnection& c = kInitialConnections[i];
        encodeConnection(packConnection(0, c.destinationPort, 0, c.sourceSlot, c.sourcePort, c.destinationSlot,
                                        c.amount, c.second),
                         words + 8 * i);
    }
    const KernelMessage first = KernelMessage::makeConnectionList(1, 0, false, words, 31);
    const KernelMessage second = KernelMessage::makeConnectionList(1, 1, true, words + 8 * 31, 14);
    EXPECT_EQ(first.wordCount, 4 + 3 + 8 * 31);
    EXPECT_EQ(second.wordCount, 4 + 8 * 14);
    manager.setConnections(first.words + 2, 31);
    EXPECT_EQ(manager.count(), 0);
    manager.setConnections(second.words + 2, 14);
    EXPECT_EQ(manager.count(), 45);
    EXPECT_EQ(manager.record(44).sourceSlot(), 25);
    EXPECT_EQ(manager.moduleAt(0), 0);
    EXPECT_EQ(manager.moduleAt(1), 1);
}

TEST_F(Manager, DoubleConnectionReplacesOnlyItsOwnRoute) {
    add(1, 5, 2, 0);  // the source also feeds another input of the same module
    add(1, 5, 3, 0);
    add(1, 0, 2, 0);  // same key, other source port
    const int replaced = manager.addDoubleConnection(1, 0, 7, 0, 0, 2, 0, 100, 0, 0);
    ASSERT_GE(replaced, 0);
    EXPECT_EQ(manager.record(replaced).sourceSlot(), 7);
    EXPECT_EQ(manager.find(1, 5, 0, 2, 0), manager.find(1, 5, 0, 2, 0));
    EXPECT_GE(manager.find(1, 5, 0, 2, 0), 0);
    EXPECT_GE(manager.find(1, 5, 0, 3, 0), 0);
    EXPECT_EQ(manager.find(1, 0, 0, 2, 0), -1);
    EXPECT_EQ(manager.addDoubleConnection(9, 0, 7, 0, 0, 2, 0, 100, 0, 0), -1) << "no such route";
}

TEST_F(Manager, EditsByIndexAreRangeChecked) {
    add(0, 0, 1, 0);
    const ConnectionRecord r = packConnection(0, 0, 0, 2, 0, 9, 1, 2);
    EXPECT_EQ(manager.insertConnection(5, r), -1);
    EXPECT_EQ(manager.insertConnection(-1, r), -1);
    EXPECT_EQ(manager.removeConnectionAt(1), -1);
    EXPECT_EQ(manager.removeConnectionAt(-1), -1);
    manager.setConnection(3, r);
    manager.setConnectionAmount(7, 99);
    EXPECT_EQ(manager.count(), 1);
    EXPECT_EQ(manager.insertConnection(1, r), 0);
    EXPECT_EQ(manager.removeConnectionAt(0), 0);
    EXPECT_EQ(manager.record(0), r);
    EXPECT_EQ(manager.removeConnection(2, 0, 0, 9, 0), 0);
    EXPECT_EQ(manager.count(), 0);
    EXPECT_EQ(manager.removeConnection(2, 0, 0, 9, 0), -1);
}

} // namespace
} // namespace corvex
