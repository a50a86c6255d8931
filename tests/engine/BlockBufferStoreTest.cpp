// The block buffer store: order of hand-out, exhaustion, reuse and user counting of ports.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "engine/modules/BlockBufferStore.h"

namespace corvex {
namespace {

class Store : public ::testing::Test {
protected:
    void SetUp() override { store->init(); }
    PortEntry bufferPort() {
        PortEntry p;
        p.word = 5;
        p.store = store.get();
        return p;
    }
    std::unique_ptr<BlockBufferStore> store = std::make_unique<BlockBufferStore>();
};

TEST_F(Store, HandsOutSlotsInOrderUntilExhausted) {
    std::vector<PortEntry> ports(BlockBufferStore::kCapacity + 1, bufferPort());
    for (int i = 0; i < BlockBufferStore::kCapacity; ++i) {
        acquirePortBuffer(ports[i]);
        EXPECT_EQ(ports[i].bufferIndex, i);
    }
    EXPECT_EQ(store->freeCount(), 0);
    PortEntry& last = ports.back();
    acquirePortBuffer(last);
    EXPECT_EQ(last.bufferIndex, -1);
    EXPECT_EQ(portBuffer(last), nullptr);
    EXPECT_EQ(last.users(), 1u) << "the user is counted even without a buffer";
    releasePortUser(last);
    EXPECT_EQ(store->freeCount(), 0);
}

TEST_F(Store, LastReleasedIsFirstReused) {
    std::vector<PortEntry> ports(10, bufferPort());
    for (auto& p : ports) acquirePortBuffer(p);
    releasePortUser(ports[5]);
    EXPECT_EQ(ports[5].bufferIndex, -1);
    PortEntry fresh = bufferPort();
    acquirePortBuffer(fresh);
    EXPECT_EQ(fresh.bufferIndex, 5);
}

TEST_F(Store, BufferStaysWhileAnyUserRemainsAndIsClearedWhenTaken) {
    PortEntry p = bufferPort();
    acquirePortBuffer(p);
    portBuffer(p)[3] = 1.5f;
    acquirePortBuffer(p);
    acquirePortBuffer(p);
    EXPECT_EQ(p.users(), 3u);
    releasePortUser(p);
    releasePortUser(p);
    EXPECT_EQ(p.bufferIndex, 0);
    EXPECT_EQ(portBuffer(p)[3], 1.5f);
    releasePortUser(p);
    EXPECT_EQ(p.bufferIndex, -1);
    EXPECT_EQ(store->freeCount(), BlockBufferStore::kCapacity);

    PortEntry q = bufferPort();
    acquirePortBuffer(q);
    EXPECT_EQ(q.bufferIndex, 0);
    EXPECT_EQ(portBuffer(q)[3], 0.0f) << "a buffer is cleared when a port takes it";
}

// One port of the initial program feeds 128 readers when 32 voices sound: a 7-bit count would wrap.
TEST_F(Store, UserCountHoldsMoreThan127Readers) {
    PortEntry p = bufferPort();
    for (int i = 0; i < 300; ++i) acquirePortBuffer(p);
    EXPECT_EQ(p.users(), 300u);
    for (int i = 0; i < 299; ++i) releasePortUser(p);
    EXPECT_EQ(p.bufferIndex, 0);
    releasePortUser(p);
    EXPECT_EQ(p.bufferIndex, -1);
    releasePortUser(p); // never below zero
    EXPECT_EQ(p.users(), 0u);
    EXPECT_EQ(store->freeCount(), BlockBufferStore::kCapacity);
}

} // namespace
} // namespace corvex
