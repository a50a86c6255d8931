// "St. Fx Reverb" chosen for a master slot through the rows: a released note rings on after its voice has
// gone, longer with a larger size, and the kernel reads the rows' words as it reads the stored block.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

#include "engine/dsp/ScopedNoDenormals.h"
#include "engine/modules/ModuleFramework.h"
#include "engine/modules/types/Reverb.h"
#include "instrument/params/ParameterMapping.h"
#include "tests/instrument/core/ParameterRig.h"
#include "tests/support/SignalChecks.h"

namespace corvex {
namespace {

constexpr int kChoiceRow[2] = {979, 994};
constexpr int kNoEffect = 0, kReverb = 3;
// Rows of the first slot; the second slot's lie 11 (and 15) further on.
constexpr int kDryWetRow = 189, kSizeRow = 190, kHighDampingRow = 191, kPreDelayRow = 192, kLowDampingRow = 193,
              kOutputRow = 199, kBypassRow = 993;

class ReverbSound : public ::testing::Test, protected testing::ParameterRig {
protected:
    void SetUp() override {
        build();
        deliver();
    }

    void choose(int slot, int choice) {
        table->setParameter(kChoiceRow[slot], ParameterMapping::stepToValue(choice, 5));
    }
    static int slotRow(int slot, int row) { return row + (slot == 0 ? 0 : (row < 979 ? 11 : 15)); }

    // A short note, released; the level of what is heard once every voice has gone, in the first
    // 145 ms and from half a second on.
    struct Tail {
        double early, late;
    };
    Tail ringsOnAfterTheVoices() {
        ScopedNoDenormals flush;
        float left[32], right[32];
        float* outs[2] = {left, right};
        kernel->processBlock(2, outs, 32);
        kernel->sendMidiNote(0x90, 60, 110);
        for (int b = 0; b < 100; ++b) kernel->processBlock(2, outs, 32);
        kernel->sendMidiNote(0x80, 60, 0);
        int b = 0;
        for (; b < 20000 && kernel->soundingVoiceCount() > 0; ++b) kernel->processBlock(2, outs, 32);
        EXPECT_EQ(kernel->soundingVoiceCount(), 0) << "the voice ends";
        std::vector<float> early, late;
        for (int i = 0; i < 900; ++i) {
            kernel->processBlock(2, outs, 32);
            EXPECT_EQ(testing::badSamples(left, 32) + testing::badSamples(right, 32), 0);
            std::vector<float>& into = i < 200 ? early : late;
            if (i < 200 || i >= 700) {
                into.insert(into.end(), left, left + 32);
                into.insert(into.end(), right, right + 32);
            }
        }
        return {testing::rms(early), testing::rms(late)};
    }

    const ReverbParams& live(int slot) {
        return *reinterpret_cast<const ReverbParams*>(
            kernel->globalRecord(35 + slot).as<EffectSlotParams>().inner->body);
    }
    // The program's copy of the slot's hosted block, loaded into a fresh record as a reloaded multi is.
    ReverbParams reloaded(int slot) {
        const uint16_t* words = program->getBlock(0, 35 + slot).words;
        const int length = words[10 + 2];
        std::vector<uint16_t> data(size_t(length) + 2, 0);
        std::memcpy(data.data() + 2, words + 10, size_t(length) * sizeof(uint16_t));
        ParameterRecord record;
        blockLoaderFor(ModuleType::Reverb)(data.data(), length, &record, nullptr);
        return record.as<ReverbParams>();
    }
};

TEST_F(ReverbSound, ARemovedNoteRingsOnInEitherSlot) {
    EXPECT_LT(ringsOnAfterTheVoices().early, 1e-6) << "with no effect nothing is left once the voice has gone";

    double previous = 0.0;
    for (const int slot : {0, 1}) {
        for (const float size : {0.3f, 0.9f}) {
            build();
            choose(slot, kReverb);
            table->setParameter(slotRow(slot, kDryWetRow), 0.5f);
            table->setParameter(slotRow(slot, kSizeRow), size);
            deliver();
            const Tail tail = ringsOnAfterTheVoices();
            EXPECT_GT(tail.early, 1e-3) << slot << " " << size;
            if (size > 0.5f) {
                EXPECT_GT(tail.late, 10.0 * previous) << "a larger room rings longer " << slot;
            }
            previous = tail.late;
        }
    }

    // Bypassed, the slot lets the dry sound through and the tail is not heard.
    build();
    choose(0, kReverb);
    table->setParameter(kSizeRow, 0.9f);
    table->setParameter(kBypassRow, 1.0f);
    deliver();
    EXPECT_LT(ringsOnAfterTheVoices().early, 1e-6);
}

// Every row's word, the size's full word among them, reaches the kernel's record through the setter
// exactly as a reload of the stored block gives it.
TEST_F(ReverbSound, RowsWordsReadTheSameThroughSetterAndLoader) {
    choose(1, kReverb);
    deliver();
    struct Case {
        int row;
        float value;
    };
    const Case cases[] = {
        {kSizeRow, 1.0f},        {kSizeRow, 0.0f},      {kSizeRow, 0.37f},       {kHighDampingRow, 0.8f},
        {kPreDelayRow, 1.0f},    {kPreDelayRow, 0.3f},  {kLowDampingRow, 0.55f}, {kDryWetRow, 0.25f},
        {kOutputRow, 0.9f},      {kBypassRow, 1.0f},    {kBypassRow, 0.0f},      {kHighDampingRow, 0.0f},
    };
    for (const Case& c : cases) {
        table->setParameter(slotRow(1, c.row), c.value);
        deliver();
        const ReverbParams fromRows = live(1);
        const ReverbParams fromBlock = reloaded(1);
        EXPECT_EQ(std::memcmp(&fromRows, &fromBlock, sizeof(ReverbParams)), 0) << c.row << " " << c.value;
    }
    table->setParameter(slotRow(1, kSizeRow), 1.0f);
    deliver();
    EXPECT_FLOAT_EQ(live(1).feedback, 0.95f);
    EXPECT_FLOAT_EQ(reloaded(1).feedback, 0.95f);
}

} // namespace
} // namespace corvex
