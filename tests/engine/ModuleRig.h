// What modules need outside a kernel: a buffer store, the pools and an engine context.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/dsp/ConnectionDescriptor.h"
#include "engine/modules/EngineContext.h"
#include "engine/modules/BlockBufferStore.h"
#include "engine/modules/ModuleFramework.h"
#include "engine/modules/ModulePools.h"

namespace corvex::testing {

// The connections into one module, kept back to back in input order as the kernel hands them over.
template <int Inputs>
struct Wiring {
    explicit Wiring(int destinationSlot = 0) : slot(destinationSlot) {}

    int slot;
    std::vector<ConnectionDescriptor> descriptors;
    std::vector<const PortEntry*> sources;
    std::array<uint32_t, Inputs> counts{};

    void connect(int input, const PortEntry* source, int16_t amount = 16384, uint16_t selector = 0) {
        size_t at = 0;
        for (int i = 0; i <= input; ++i) at += counts[static_cast<size_t>(i)];
        const uint32_t route = (static_cast<uint32_t>(slot) << 17) | (static_cast<uint32_t>(input) << 24);
        descriptors.insert(descriptors.begin() + static_cast<long>(at),
                           ConnectionDescriptor{{static_cast<uint16_t>(route), static_cast<uint16_t>(route >> 16),
                                                 static_cast<uint16_t>(amount), selector}});
        sources.insert(sources.begin() + static_cast<long>(at), source);
        ++counts[static_cast<size_t>(input)];
    }
};

class ModuleRig : public ::testing::Test {
protected:
    // Also called again by cases that need a fresh store in a loop.
    void SetUp() override {
        store->init();
        context.store = store.get();
        context.pools = pools.get();
    }

    // A source port holding a block buffer from the rig's store, every sample set to `fill`.
    PortEntry bufferPort(float fill = 0.0f) {
        PortEntry p;
        p.word = 5;
        p.store = store.get();
        acquirePortBuffer(p);
        std::fill_n(portBuffer(p), kBlockFrames, fill);
        return p;
    }

    std::unique_ptr<BlockBufferStore> store = std::make_unique<BlockBufferStore>();
    std::unique_ptr<ModulePools> pools = std::make_unique<ModulePools>();
    EngineContext context;
};

} // namespace corvex::testing
