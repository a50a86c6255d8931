// Connection records: the external form, its validation and the sort whose order stored parts rely on.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "engine/modules/ModuleSlots.h"
#include "engine/modules/ConnectionRecord.h"
#include "engine/program/InitialProgram.h"

namespace corvex {
namespace {

std::vector<ConnectionRecord> initialRecords() {
    std::vector<ConnectionRecord> records;
    for (const InitialConnection& c : kInitialConnections)
        records.push_back(packConnection(0, c.destinationPort, 0, c.sourceSlot, c.sourcePort, c.destinationSlot,
                                         c.amount, c.second));
    return records;
}

TEST(ConnectionRecord, PackedFieldsReadBack) {
    const ConnectionRecord r = packConnection(9, 3, 5, 26, 4, 17, 40960, 0x1234);
    EXPECT_EQ(r.kind(), 9);
    EXPECT_EQ(r.destinationPort(), 3);
    EXPECT_EQ(r.mode(), 5);
    EXPECT_EQ(r.sourceSlot(), 26);
    EXPECT_EQ(r.sourcePort(), 4);
    EXPECT_EQ(r.destinationSlot(), 17);
    EXPECT_EQ(r.destinationGroup(), 0);
    EXPECT_EQ(r.flag(), 0);
    EXPECT_EQ(r.amount, 40960);
    EXPECT_EQ(r.key(), (17u << 16) + (3u << 8) + 9u);
    EXPECT_EQ(packConnection(0, 0, 0, 34, 0, 35, 0, 0).destinationGroup(), 2);
}

TEST(ConnectionRecord, ExternalFormRoundTrips) {
    std::mt19937 rng(7);
    std::vector<ConnectionRecord> records = initialRecords();
    for (int i = 0; i < 500; ++i) {
        const int destination = static_cast<int>(rng() % kModuleSlotCount);
        const int inputs = kModuleSlots[static_cast<size_t>(destination)].inputs;
        if (inputs == 0) continue;
        ConnectionRecord r = packConnection(static_cast<int>(rng() % 16), static_cast<int>(rng() % inputs),
                                            static_cast<int>(rng() % 8), static_cast<int>(rng() % kModuleSlotCount),
                                            static_cast<int>(rng() % 16), destination,
                                            static_cast<uint16_t>(rng()), static_cast<uint16_t>(rng()));
        // Route bits 0..1 and the flag travel as they are, even when they disagree with the slot.
        r.setRoute((r.route() & ~7u) | (rng() % 8));
        records.push_back(r);
    }
    for (const ConnectionRecord& r : records) {
        uint16_t words[kExternalConnectionWords];
        encodeConnection(r, words);
        ConnectionRecord back;
        ASSERT_TRUE(decodeConnection(words, back));
        EXPECT_EQ(back, r);
    }
}

TEST(ConnectionRecord, DecodeRefusesWhatDoesNotResolve) {
    uint16_t good[kExternalConnectionWords];
    encodeConnection(initialRecords()[9], good); // 26/0 -> 2/5
    struct Case {
        const char* name;
        int word;
        uint16_t value;
    };
    const Case cases[] = {
        {"source type without slot", 1, 0x0005},
        {"source instance beyond the type", 1, 0x052C},
        {"destination group wrong", 3, 0x0100},
        {"destination port beyond the slot's inputs", 5, 0x0006},
        {"source port beyond four bits", 2, 0x0010},
        {"mode beyond three bits", 3, 0x0008},
        {"kind beyond four bits", 5, 0x1005},
        {"flag beyond one bit", 0, 0x0102},
    };
    for (const Case& c : cases) {
        uint16_t words[kExternalConnectionWords];
        std::copy(good, good + kExternalConnectionWords, words);
        words[c.word] = c.value;
        ConnectionRecord out;
        EXPECT_FALSE(decodeConnection(words, out)) << c.name;
    }
}

TEST(ConnectionRecord, InitialListIsInKeyOrder) {
    const std::vector<ConnectionRecord> records = initialRecords();
    for (size_t i = 1; i < records.size(); ++i) EXPECT_LE(records[i - 1].key(), records[i].key()) << i;
}

// Equal keys leave the heap in an order that depends only on the sequence of keys: the three
// records into slot 2, port 0 come out in the order the heap rules give, which stored lists keep.
TEST(ConnectionRecord, HeapSortTieOrder) {
    std::vector<ConnectionRecord> records = {
        packConnection(0, 0, 0, 3, 0, 2, 1, 0), packConnection(0, 0, 0, 4, 0, 2, 2, 0),
        packConnection(0, 1, 0, 5, 0, 2, 3, 0), packConnection(0, 0, 0, 6, 0, 2, 4, 0),
        packConnection(0, 0, 0, 7, 0, 1, 5, 0),
    };
    ASSERT_TRUE(sortConnections(records.data(), static_cast<int>(records.size())));
    std::vector<int> amounts;
    for (const auto& r : records) amounts.push_back(r.amount);
    EXPECT_EQ(amounts, (std::vector<int>{5, 1, 4, 2, 3}));
}

TEST(ConnectionRecord, SortOrdersByKeyAndSetsGroups) {
    std::mt19937 rng(3);
    for (int round = 0; round < 50; ++round) {
        std::vector<ConnectionRecord> records = initialRecords();
        std::shuffle(records.begin(), records.end(), rng);
        for (auto& r : records) r.setRoute(r.route() | 3u); // wrong group bits
        ASSERT_TRUE(sortConnections(records.data(), static_cast<int>(records.size())));
        for (size_t i = 1; i < records.size(); ++i) EXPECT_LE(records[i - 1].key(), records[i].key());
        for (const auto& r : records)
            EXPECT_EQ(r.destinationGroup(), kModuleSlots[static_cast<size_t>(r.destinationSlot())].group);
    }
    std::vector<ConnectionRecord> tooMany(kMaxConnections + 1);
    EXPECT_FALSE(sortConnections(tooMany.data(), kMaxConnections + 1));
}

} // namespace
} // namespace corvex
