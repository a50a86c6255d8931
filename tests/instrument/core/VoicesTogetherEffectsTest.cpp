// Insert effects in both chains of every voice sound the same whether a part's voices render together or
// one at a time: the effects keep their state per voice, so the order across voices must not matter.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "instrument/params/ParameterIndex.h"
#include "tests/instrument/core/EffectChainRig.h"

namespace corvex {
namespace {

constexpr int kSelectorRow = 249;
constexpr int kDryWetRow = 48;
constexpr int kDriveRow = 49;
constexpr int kOutputRow = 69;
constexpr float kUnityOutput = 0.75f;

int chainRow(int upperChain1Row, int chain) {
    return ParameterIndex::unfold(ParameterIndex::foldEffectIndex(chain, upperChain1Row), 0);
}

std::vector<float> renderWithEffects(bool together, int firstChoice, int secondChoice) {
    testing::ParameterRig rig;
    rig.build();
    rig.kernel->setVoicesTogether(together);
    const int choices[2] = {firstChoice, secondChoice};
    for (int chain = 0; chain < 2; ++chain) {
        rig.table->setParameter(chainRow(kSelectorRow, chain), ParameterMapping::stepToValue(choices[chain], 6));
        rig.table->setParameter(chainRow(kDryWetRow, chain), 0.8f);
        rig.table->setParameter(chainRow(kDriveRow, chain), 0.6f);
        rig.table->setParameter(chainRow(kOutputRow, chain), kUnityOutput);
    }
    rig.deliver();
    std::vector<float> out;
    float left[32], right[32];
    float* outs[2] = {left, right};
    for (int block = 0; block < 300; ++block) {
        if (block < 8) rig.kernel->sendMidiNote(0x90, 40 + 5 * block, 70 + 7 * block);
        if (block == 60) rig.kernel->sendPitchBend(0, 100);
        if (block == 120) rig.table->setParameter(chainRow(kDriveRow, 0), 0.9f);
        if (block == 150) rig.kernel->sendMidiNote(0x80, 45, 0);
        if (block == 200) rig.kernel->sendMidiNote(0x90, 45, 127);
        rig.kernel->processBlock(2, outs, 32);
        out.insert(out.end(), left, left + 32);
        out.insert(out.end(), right, right + 32);
    }
    return out;
}

TEST(VoicesTogetherWithEffects, PlayTheSameSamplesAsVoicesOneAtATime) {
    const std::pair<int, int> chains[] = {
        {testing::kDistortion, testing::kChorus},
        {testing::kRingMod, testing::kEq},
        {testing::kChorus, testing::kDistortion},
    };
    for (const auto& [first, second] : chains) {
        const std::vector<float> together = renderWithEffects(true, first, second);
        const std::vector<float> oneByOne = renderWithEffects(false, first, second);
        ASSERT_EQ(together.size(), oneByOne.size());
        double energy = 0.0;
        for (const float s : together) energy += double(s) * s;
        EXPECT_GT(energy, 0.0) << first << "/" << second << " sounds";
        EXPECT_EQ(std::memcmp(together.data(), oneByOne.data(), together.size() * sizeof(float)), 0)
            << "chains " << first << " and " << second << " differ between the two render orders";
    }
}

} // namespace
} // namespace corvex
