// The module framework: initialisation of heads and ports, release, port addresses, effect-slot
// hosting and the per-type tables.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "engine/modules/EngineContext.h"
#include "engine/modules/BlockBufferStore.h"
#include "engine/modules/ModuleFramework.h"
#include "engine/modules/ModulePools.h"
#include "tests/engine/ModuleRig.h"

namespace corvex {
namespace {

class Framework : public testing::ModuleRig {
protected:
    void SetUp() override {
        ModuleRig::SetUp();
    }
    void* take(int type) { return pools->poolForType(type)->allocate(); }

    ParameterRecord record;
};

TEST_F(Framework, InitWritesHeadAndFreshPorts) {
    struct Case {
        int type, ports, flags;
    };
    // Types with buffer ports start with flags 5; value-port types with flags 0.
    for (const Case c : {Case{ModuleType::Oscillator, 5, 5}, Case{ModuleType::InsertPhaser, 3, 5},
                         Case{ModuleType::VoiceControl, 7, 0}, Case{ModuleType::StepSequencer, 12, 0}}) {
        void* m = take(c.type);
        initModuleByType(m, c.type, &record, 17, &context);
        const ModuleHead& h = moduleHead(m);
        EXPECT_EQ(h.type(), c.type);
        EXPECT_EQ(h.initArgument(), 17);
        EXPECT_EQ(h.header & 7u, 0u);
        EXPECT_EQ(h.context, &context);
        EXPECT_EQ(h.record, &record);
        for (int p = 0; p < c.ports; ++p) {
            const PortEntry* port = modulePortAddress(m, p);
            ASSERT_NE(port, nullptr) << c.type << ":" << p;
            EXPECT_EQ(port->flags(), static_cast<uint32_t>(c.flags)) << c.type;
            EXPECT_EQ(port->users(), 0u);
            EXPECT_EQ(port->word & PortEntry::kClearPending, 0u);
            EXPECT_EQ(port->bufferIndex, -1);
        }
        EXPECT_EQ(modulePortAddress(m, c.ports), nullptr) << "no port beyond the type's count";
        resetModuleByType(m);
        pools->poolForType(c.type)->release(m);
    }
}

TEST_F(Framework, CodeWithoutModuleOnlyGetsItsInitArgument) {
    ModuleStorage<64> storage{};
    initModuleByType(&storage, ModuleType::ConnectionList, &record, 5, &context);
    EXPECT_EQ(moduleHead(&storage).type(), 0);
    EXPECT_EQ(moduleHead(&storage).initArgument(), 5);
    EXPECT_EQ(modulePortAddress(&storage, 0), nullptr);
    resetModuleByType(&storage); // an empty object is left alone by every dispatcher
    processModuleByType(&storage, nullptr, nullptr, nullptr);
}

TEST_F(Framework, ResetGivesBuffersBackAndClearsTheHeadOfVoiceTypes) {
    void* osc = take(ModuleType::Oscillator);
    initModuleByType(osc, ModuleType::Oscillator, &record, 0, &context);
    for (int p = 0; p < 5; ++p) acquirePortBuffer(*modulePortAddress(osc, p));
    acquirePortBuffer(*modulePortAddress(osc, 0));
    EXPECT_EQ(store->freeCount(), BlockBufferStore::kCapacity - 5);
    resetModuleByType(osc);
    EXPECT_EQ(store->freeCount(), BlockBufferStore::kCapacity);
    EXPECT_EQ(moduleHead(osc).type(), 0) << "an oscillator reads as empty until initialised again";
    resetModuleByType(osc); // a second reset finds nothing to give back
    EXPECT_EQ(store->freeCount(), BlockBufferStore::kCapacity);
}

// Envelopes and oscillators keep their running state across a rebuild of the module list:
// initialisation touches the head and the ports, never the state behind them.
TEST_F(Framework, StateBehindThePortsSurvivesReinitialisation) {
    // A type with no initialiser of its own, so only the framework's part runs.
    void* m = take(ModuleType::PassThrough);
    initModuleByType(m, ModuleType::PassThrough, &record, 3, &context);
    auto* state = reinterpret_cast<uint32_t*>(static_cast<PortedModule*>(m)->ports + 2);
    *state = 923824u;
    resetModuleByType(m);
    initModuleByType(m, ModuleType::PassThrough, &record, 3, &context);
    EXPECT_EQ(*state, 923824u);
}

TEST_F(Framework, ValueSourceHasOnePortForEveryIndex) {
    void* m = take(ModuleType::ValueSource);
    initModuleByType(m, ModuleType::ValueSource, &record, 0, &context);
    EXPECT_EQ(modulePortAddress(m, 0), modulePortAddress(m, 5));
    static_cast<ValueSourceModule*>(m)->port.value = 0.7f;
    resetModuleByType(m);
    EXPECT_EQ(static_cast<ValueSourceModule*>(m)->port.value, 0.0f);
    EXPECT_EQ(moduleHead(m).type(), ModuleType::ValueSource);
}

TEST_F(Framework, EffectSlotHostsAnEffectFromThatEffectsPool) {
    ParameterRecord inner;
    record.as<EffectSlotParams>().inner = &inner;
    record.as<EffectSlotParams>().hostedType = ModuleType::Chorus;
    ModulePoolBase* hostPool = pools->poolForType(ModuleType::Chorus);
    ModulePoolBase* slotPool = pools->poolForType(ModuleType::EffectSlot);
    const int hostFree = hostPool->freeCount();

    void* slot = take(ModuleType::EffectSlot);
    const int slotFree = slotPool->freeCount();
    initModuleByType(slot, ModuleType::EffectSlot, &record, 0, &context);
    auto& effectSlot = *static_cast<EffectSlotModule*>(slot);
    ASSERT_NE(effectSlot.hosted, nullptr);
    EXPECT_TRUE(hostPool->owns(effectSlot.hosted));
    EXPECT_EQ(hostPool->freeCount(), hostFree - 1);
    EXPECT_EQ(slotPool->freeCount(), slotFree);
    EXPECT_EQ(moduleHead(effectSlot.hosted).initArgument(), 1);
    EXPECT_EQ(moduleHead(effectSlot.hosted).record, &inner);
    EXPECT_EQ(modulePortAddress(slot, 1), modulePortAddress(effectSlot.hosted, 1));

    resetModuleByType(slot);
    EXPECT_EQ(effectSlot.hosted, nullptr);
    EXPECT_EQ(hostPool->freeCount(), hostFree) << "the hosted effect goes back to its pool";
    EXPECT_EQ(modulePortAddress(slot, 0), nullptr);
}

TEST_F(Framework, EffectSlotWithAnEmptyPoolHostsNothing) {
    ParameterRecord inner;
    record.as<EffectSlotParams>().inner = &inner;
    record.as<EffectSlotParams>().hostedType = ModuleType::Delay;
    while (pools->poolForType(ModuleType::Delay)->allocate() != nullptr) {
    }
    void* slot = take(ModuleType::EffectSlot);
    initModuleByType(slot, ModuleType::EffectSlot, &record, 0, &context);
    EXPECT_EQ(static_cast<EffectSlotModule*>(slot)->hosted, nullptr);
    processModuleByType(slot, nullptr, nullptr, nullptr);
    resetModuleByType(slot);
}

TEST_F(Framework, EveryTableEntryIsSafeToCall) {
    const uint16_t block[64] = {};
    for (int type = -1; type <= kModuleTypeCount; ++type) {
        ParameterRecord r;
        float echo = 0.0f;
        int inOut = 77;
        blockLoaderFor(type)(block, 0, &r, &context);
        parameterSetterFor(type)(100, 7, &echo, &inOut, &r, &context);
    }
    EXPECT_TRUE(hasBlockLoader(ModuleType::EffectSlot));
    EXPECT_TRUE(hasParameterSetter(ModuleType::EffectSlot));
}

TEST_F(Framework, EffectSlotLoaderReadsTheHostedTypeFromItsBlock) {
    ParameterRecord inner;
    record.as<EffectSlotParams>().inner = &inner;
    // The loader finds block word j at data[j + 2]; the hosted block starts at block word 10.
    uint16_t data[2 + 40] = {};
    data[2 + 2] = 40;
    data[2 + 10] = 0x0103;
    data[2 + 11] = static_cast<uint16_t>((29 << 8) | 1);
    data[2 + 12] = 17;
    blockLoaderFor(ModuleType::EffectSlot)(data, 40, &record, &context);
    EXPECT_EQ(record.as<EffectSlotParams>().hostedType, 29);
    EXPECT_EQ(inner.type, 29);

    // A block too short to hold the hosted header leaves the record alone.
    blockLoaderFor(ModuleType::EffectSlot)(data, 12, &record, &context);
    EXPECT_EQ(record.as<EffectSlotParams>().hostedType, 29);
}

} // namespace
} // namespace corvex
