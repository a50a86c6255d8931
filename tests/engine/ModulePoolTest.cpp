// Module pools: capacity, order of hand-out, reuse, and refusal of double or foreign releases.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "engine/modules/ModulePools.h"
#include "engine/modules/ModuleTypes.h"

namespace corvex {
namespace {

using SmallPool = ModulePool<ModuleStorage<64>, 8>;

TEST(ModulePool, ServesItsCapacityInIndexOrder) {
    auto pool = std::make_unique<SmallPool>();
    std::vector<void*> items;
    while (void* item = pool->allocate()) items.push_back(item);
    ASSERT_EQ(items.size(), 8u);
    for (size_t i = 1; i < items.size(); ++i)
        EXPECT_EQ(static_cast<char*>(items[i]) - static_cast<char*>(items[i - 1]),
                  static_cast<char*>(items[1]) - static_cast<char*>(items[0]));
    EXPECT_GT(items[1], items[0]);
    EXPECT_EQ(pool->freeCount(), 0);
}

TEST(ModulePool, ReleasedItemIsReusedFirst) {
    auto pool = std::make_unique<SmallPool>();
    std::vector<void*> items;
    for (int i = 0; i < 5; ++i) items.push_back(pool->allocate());
    pool->release(items[2]);
    EXPECT_EQ(pool->allocate(), items[2]);
}

TEST(ModulePool, DoubleAndForeignReleasesChangeNothing) {
    auto pool = std::make_unique<SmallPool>();
    void* a = pool->allocate();
    void* b = pool->allocate();
    pool->release(a);
    pool->release(a);
    EXPECT_EQ(pool->freeCount(), 7);
    int outside = 0;
    pool->release(&outside);
    pool->release(static_cast<char*>(b) + 1); // inside the pool but not an item
    pool->release(nullptr);
    EXPECT_EQ(pool->freeCount(), 7);
    EXPECT_EQ(pool->allocate(), a);
    EXPECT_NE(pool->allocate(), b);
}

TEST(ModulePools, EveryModuleTypeHasAPoolWithRoomForAFullKernel) {
    auto pools = std::make_unique<ModulePools>();
    for (int type = 0; type < kModuleTypeCount; ++type) {
        if (hasModule(type)) {
            EXPECT_NE(pools->poolForType(type), nullptr) << type;
        }
    }
    EXPECT_EQ(pools->poolForType(ModuleType::ConnectionList), nullptr);
    EXPECT_EQ(pools->oscillators.capacity(), 64);
    EXPECT_GE(pools->wrappersA.capacity(), 192);
}

} // namespace
} // namespace corvex
