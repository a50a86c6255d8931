// What modules need outside a kernel: a buffer store, the pools and an engine context.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "engine/kernel/EngineContext.h"
#include "engine/modules/BlockBufferStore.h"
#include "engine/modules/ModuleFramework.h"
#include "engine/modules/ModulePools.h"

namespace corvex::testing {

class ModuleRig : public ::testing::Test {
protected:
    // Also called again by cases that need a fresh store in a loop.
    void SetUp() override {
        store->init();
        context.store = store.get();
        context.pools = pools.get();
    }

    std::unique_ptr<BlockBufferStore> store = std::make_unique<BlockBufferStore>();
    std::unique_ptr<ModulePools> pools = std::make_unique<ModulePools>();
    EngineContext context;
};

} // namespace corvex::testing
