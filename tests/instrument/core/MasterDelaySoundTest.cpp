// "St. Delay" and "St. Phaser" chosen through the master-effect rows: the delay is heard in either slot in
// series with the fixed pass-through slot, and the kernel's records read the same from the rows' words as
// from the stored slot blocks.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/modules/ModuleFramework.h"
#include "engine/modules/types/Delay.h"
#include "engine/modules/types/PhaserMaster.h"
#include "tests/instrument/core/ParameterRig.h"

namespace corvex {
namespace {

constexpr int kNoEffect = 0, kDelay = 2, kPhaser = 4;

class MasterDelaySound : public ::testing::Test, protected testing::ParameterRig {
protected:
    void SetUp() override {
        build();
        deliver();
    }

    // A row of master slot 0 as the table numbers it for `slot`.
    static int row(int folded, int slot) { return folded + (folded < 979 ? 11 : 15) * slot; }
    void setRow(int folded, int slot, float v) { table->setParameter(row(folded, slot), v); }
    void choose(int slot, int choice) { setRow(979, slot, ParameterMapping::stepToValue(choice, 5)); }

    // The first frame (of either side) that is not silent, after a note starts at frame 0.
    int onset(int blocks) {
        kernel->sendMidiNote(0x90, 60, 100);
        float left[32], right[32];
        float* outs[2] = {left, right};
        for (int b = 0; b < blocks; ++b) {
            kernel->processBlock(2, outs, 32);
            for (int n = 0; n < 32; ++n)
                if (left[n] != 0.0f || right[n] != 0.0f) return b * 32 + n;
        }
        return -1;
    }

    // The hosted effect's record as a reload of the program's stored slot block would leave it.
    template <class Params>
    Params reloaded(int slot) {
        const CorvanKernelProgram::Block b = program->getBlock(0, 35 + slot);
        std::vector<uint16_t> data(size_t(b.length) + 2, 0);
        std::memcpy(data.data() + 2, b.words, size_t(b.length) * sizeof(uint16_t));
        ParameterRecord slotRecord, inner;
        slotRecord.as<EffectSlotParams>() = EffectSlotParams{0, &inner};
        loadEffectSlotBlock(data.data(), b.length, &slotRecord, nullptr);
        return inner.as<Params>();
    }
    template <class Params>
    const Params& live(int slot) {
        return kernel->globalRecord(35 + slot).as<EffectSlotParams>().inner->as<Params>();
    }
};

// Wet only at the shortest time: the sound comes out 400 frames after it does with no effect, through the
// next slot and the fixed pass-through slot behind it.
TEST_F(MasterDelaySound, StDelayIsHeardInEitherSlotThroughTheFixedSlot) {
    const int dry = onset(20);
    ASSERT_GE(dry, 0);
    for (int slot = 0; slot < 2; ++slot) {
        build();
        deliver();
        choose(slot, kDelay);
        setRow(189, slot, 1.0f); // dry/wet
        setRow(190, slot, 0.0f); // time 1
        setRow(193, slot, 0.0f); // time 2
        deliver();
        const auto& host = *static_cast<EffectSlotModule*>(kernel->globalModule(35 + slot));
        EXPECT_EQ(host.hostedType, ModuleType::Delay) << slot;
        // The delay started at its default time when chosen; a new time glides in over some 10000 frames.
        float left[32], right[32];
        float* outs[2] = {left, right};
        for (int b = 0; b < 8000; ++b) kernel->processBlock(2, outs, 32);
        EXPECT_EQ(onset(40), dry + 400) << slot;
        double energy = 0.0;
        for (int b = 0; b < 20; ++b) {
            kernel->processBlock(2, outs, 32);
            for (int n = 0; n < 32; ++n) energy += double(left[n]) * left[n] + double(right[n]) * right[n];
        }
        EXPECT_GT(energy, 0.0) << slot;
        choose(slot, kNoEffect);
        deliver();
    }
}

// The rows write cross-feed words that the setter halves; a reload of the stored block halves them too.
// The phaser's cross row writes index 22, which a reload also reads.
TEST_F(MasterDelaySound, RowsWordsReadTheSameThroughSetterAndStoredBlock) {
    struct Case {
        int folded;
        float value;
    };
    choose(0, kDelay);
    deliver();
    const Case delayRows[] = {{189, 0.3f}, {190, 0.45f}, {191, 0.7f}, {192, 1.0f}, {193, 0.2f}, {194, 0.4f},
                              {195, 0.6f}, {196, 0.8f}, {199, 0.9f}, {980, 1.0f}, {983, 1.0f}, {190, 0.8f},
                              {983, 0.0f}, {980, 0.0f}};
    for (const Case& c : delayRows) {
        setRow(c.folded, 0, c.value);
        deliver();
        const DelayParams fromRows = live<DelayParams>(0);
        const DelayParams fromBlock = reloaded<DelayParams>(0);
        EXPECT_EQ(std::memcmp(&fromRows, &fromBlock, sizeof(DelayParams)), 0) << c.folded << " " << c.value;
    }
    EXPECT_FLOAT_EQ(reloaded<DelayParams>(0).cross[0], 0.5f);

    choose(1, kPhaser);
    deliver();
    const Case phaserRows[] = {{189, 0.3f}, {190, 0.45f}, {191, 0.7f}, {192, 1.0f}, {193, 0.2f}, {194, 0.4f},
                               {195, 0.6f}, {199, 0.9f}, {988, 1.0f}, {989, 0.9f}, {990, 0.3f}, {991, 1.0f},
                               {992, 1.0f}, {988, 0.0f}};
    for (const Case& c : phaserRows) {
        setRow(c.folded, 1, c.value);
        deliver();
        const PhaserMasterParams fromRows = live<PhaserMasterParams>(1);
        const PhaserMasterParams fromBlock = reloaded<PhaserMasterParams>(1);
        EXPECT_EQ(std::memcmp(&fromRows, &fromBlock, sizeof(PhaserMasterParams)), 0) << c.folded << " " << c.value;
    }
    EXPECT_EQ(reloaded<PhaserMasterParams>(1).cross, 1);
}

} // namespace
} // namespace corvex
