// The insert effects chosen through the effect rows: every voice runs them, and the kernel's records read
// the same from the rows' words as from the stored blocks.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

#include "engine/modules/ModuleFramework.h"
#include "engine/modules/types/ChorusFlanger.h"
#include "engine/modules/types/ParametricEq.h"
#include "tests/instrument/core/EffectChainRig.h"

namespace corvex {
namespace {

using testing::EffectChainRig;

class ChorusSoundTest : public EffectChainRig {
protected:
    // Loads the program's copy of a slot's block into a fresh record, as a reloaded sound would be.
    template <class Params>
    Params reloaded(int slot) {
        const CorvanKernelProgram::Block b = program->getBlock(1, slot);
        std::vector<uint16_t> data(size_t(b.length) + 2, 0);
        std::memcpy(data.data() + 2, b.words, size_t(b.length) * sizeof(uint16_t));
        ParameterRecord record;
        blockLoaderFor(kModuleSlots[size_t(slot)].type)(data.data(), b.length, &record, nullptr);
        return record.as<Params>();
    }
    template <class Params>
    const Params& live(int slot) {
        return kernel->program(0)->record(slot).as<Params>();
    }

    std::vector<float> play(int notes, int blocks) {
        for (int n = 0; n < notes; ++n) kernel->sendMidiNote(0x90, 48 + 3 * n, 100);
        std::vector<float> out;
        float left[32], right[32];
        float* outs[2] = {left, right};
        for (int b = 0; b < blocks; ++b) {
            kernel->processBlock(2, outs, 32);
            out.insert(out.end(), left, left + 32);
        }
        return out;
    }
};

TEST_F(ChorusSoundTest, TheChosenEffectRunsInEveryVoice) {
    struct Case {
        int choice, slot;
    };
    for (const Case c : {Case{testing::kChorus, 12}, Case{testing::kEq, 16}}) {
        build();
        choose(c.choice);
        render();
        const std::vector<float> out = play(4, 40);
        int withEffect = 0;
        for (int v = 0; v < 32; ++v)
            if (kernel->voice(v).state != VoiceRecord::Free)
                withEffect += kernel->voice(v).modules[c.slot] != nullptr ? 1 : 0;
        EXPECT_EQ(withEffect, 4) << c.choice;
        double energy = 0.0;
        for (float s : out) energy += double(s) * s;
        EXPECT_GT(energy, 0.0) << "the chain still sounds through the effect " << c.choice;
    }
}

// The type row writes its step (0..3) as the word; the kernel's setter and a reload of the stored block
// must both read that word as the tap count, and agree on every other field too.
TEST_F(ChorusSoundTest, RowsWordsReadTheSameThroughSetterAndLoader) {
    choose(testing::kChorus);
    deliver();
    struct Case {
        int row;
        float value;
    };
    const Case cases[] = {
        {331, 0.0f}, {331, 0.3f}, {331, 0.6f}, {331, 1.0f}, {329, 1.0f}, {330, 1.0f}, {53, 0.7f},
        {51, 1.0f},  {49, 0.4f},  {55, 0.9f},  {57, 0.5f},  {48, 0.25f}, {69, 0.8f}, {329, 0.0f},
    };
    for (const Case& c : cases) {
        table->setParameter(row(c.row), c.value);
        deliver();
        const ChorusFlangerParams fromRows = live<ChorusFlangerParams>(12);
        const ChorusFlangerParams fromBlock = reloaded<ChorusFlangerParams>(12);
        EXPECT_EQ(std::memcmp(&fromRows, &fromBlock, sizeof(ChorusFlangerParams)), 0) << c.row << " " << c.value;
        if (c.row == 331) {
            EXPECT_EQ(fromBlock.tapSetting, ParameterMapping::quantise(4, c.value));
        }
    }
}

TEST_F(ChorusSoundTest, EqRowsReadTheSameThroughSetterAndLoader) {
    choose(testing::kEq);
    deliver();
    for (int r : {48, 49, 51, 53, 55, 57, 59, 61, 63, 65, 67, 69, 334, 335, 336, 337, 338}) {
        table->setParameter(row(r), 0.7f);
        deliver();
        const ParametricEqParams fromRows = live<ParametricEqParams>(16);
        const ParametricEqParams fromBlock = reloaded<ParametricEqParams>(16);
        EXPECT_EQ(std::memcmp(&fromRows, &fromBlock, sizeof(ParametricEqParams)), 0) << r;
    }
}

} // namespace
} // namespace corvex
