// The morph on a fake support: the blend of each kind, the weights of a position, snapshots that keep their own
// values, a drag that needs a press, the process lock around the press, and what a drag writes back.
#include <cmath>
#include <map>

#include <gtest/gtest.h>

#include "presetmap/MorphSnapshots.h"
#include "tests/presetmap/FakeSoundmapSupport.h"

namespace corvex {
namespace {

TEST(MorphEngine, BlendsEachKindByItsWeights) {
    struct Case {
        const char* what;
        int kind;
        float values[kMorphSlots];
        float weights[kMorphSlots];
        float expected;
    };
    const float onFirst = morphWeight(0.0f, 0.0f);
    const float far = morphWeight(30.0f, 40.0f);
    const Case cases[] = {
        {"mean of two equally far", kMorphMean, {0.2f, 0.6f, 0.9f, 0.9f}, {0.5f, 0.5f, 0.0f, 0.0f}, 0.4f},
        {"mean leans to the heavier", kMorphMean, {0.0f, 1.0f, 0.0f, 0.0f}, {1.0f, 3.0f, 0.0f, 0.0f}, 0.75f},
        {"mean of four", kMorphMean, {0.1f, 0.2f, 0.3f, 0.4f}, {1.0f, 1.0f, 1.0f, 1.0f}, 0.25f},
        {"cursor on the first", kMorphMean, {0.2f, 0.8f, 0.0f, 0.0f}, {onFirst, far, 0.0f, 0.0f}, 0.2f},
        {"heaviest, a tie keeps the lower slot", kMorphHeaviest, {0.3f, 0.7f, 0.0f, 0.0f}, {2.0f, 2.0f, 0.0f, 0.0f},
         0.3f},
        {"heaviest wins", kMorphHeaviest, {0.3f, 0.7f, 0.5f, 0.0f}, {1.0f, 2.0f, 1.5f, 0.0f}, 0.7f},
        {"heaviest without any weight", kMorphHeaviest, {0.3f, 0.7f, 0.5f, 0.1f}, {0.0f, 0.0f, 0.0f, 0.0f}, 0.0f},
        {"rounded up from 3.5", kMorphRounded, {3.0f, 4.0f, 0.0f, 0.0f}, {1.0f, 1.0f, 0.0f, 0.0f}, 4.0f},
        {"rounded down from 3.49", kMorphRounded, {3.0f, 4.0f, 0.0f, 0.0f}, {0.51f, 0.49f, 0.0f, 0.0f}, 3.0f},
        {"an unknown kind", 7, {0.3f, 0.7f, 0.0f, 0.0f}, {1.0f, 1.0f, 0.0f, 0.0f}, 0.0f},
    };
    for (const Case& c : cases) {
        const float sum = c.weights[0] + c.weights[1] + c.weights[2] + c.weights[3];
        EXPECT_NEAR(CMorphEngine::blendValue(c.kind, c.values, c.weights, sum), c.expected, 1e-5f) << c.what;
    }
}

class MorphTest : public ::testing::Test {
protected:
    MorphTest() : support(juce::File::getSpecialLocation(juce::File::tempDirectory)) {
        const size_t count = support.indices.size();
        // Patch n holds n / 10 everywhere but at its own place n, which holds 1.
        for (int64_t key = 1; key <= 4; ++key) {
            std::vector<float> values(count, static_cast<float>(key) / 10.0f);
            values[static_cast<size_t>(key)] = 1.0f;
            support.add(key, "P" + std::to_string(key), 1, values);
        }
        morph.init(&support);
    }
    // Loads the patch and takes it as a snapshot, as the map does.
    void take(int slot, int64_t key, MorphPoint at) {
        support.loadPreset(key);
        morph.setSnapshot(slot, &records[slot], at, support.buildPresetData());
    }
    float sent(size_t position) { return support.instrument.at(support.indices[position]); }
    float valueOf(const PresetData& data, size_t position) { return data.values[position]; }

    testing::FakeSoundmapSupport support;
    PresetMapRecord records[kMorphSlots];
    MorphSnapshots morph;
};

TEST_F(MorphTest, WeightsFollowTheDistanceToEachFilledSlot) {
    take(0, 1, {0.0f, 0.0f});
    take(2, 2, {30.0f, 40.0f});
    float w[kMorphSlots];
    morph.computeWeights(0.0f, 0.0f, w);
    EXPECT_FLOAT_EQ(w[0], 1.0e6f);
    EXPECT_FLOAT_EQ(w[2], 1.0f / 50.0f);
    EXPECT_EQ(w[1], 0.0f);
    EXPECT_EQ(w[3], 0.0f);
    EXPECT_EQ(morph.presenceMask(), 0b0101);
    EXPECT_EQ(morph.countSnapshots(), 2);
}

TEST_F(MorphTest, SnapshotsKeepTheirOwnValuesWhateverChangesAfter) {
    take(0, 1, {0.0f, 0.0f});
    take(1, 2, {100.0f, 0.0f});
    // The support's block of patch 2 changes after it was taken.
    PresetData block = support.buildPresetData();
    support.setParameterValue(support.indices[0], &block, 0.99f);
    EXPECT_FLOAT_EQ(valueOf(morph.getSnapshotData(1), 0), 0.2f);

    ASSERT_TRUE(morph.beginMorph(50.0f, 0.0f, 100.0f, 100.0f));
    EXPECT_NEAR(sent(0), 0.15f, 1e-6f);
    ASSERT_TRUE(morph.continueMorph(70.0f, 0.0f, 100.0f, 100.0f));
    // Back onto the first snapshot after a long morph: its own values again.
    ASSERT_TRUE(morph.continueMorph(0.0f, 0.0f, 100.0f, 100.0f));
    morph.endMorph();
    EXPECT_NEAR(sent(0), 0.1f, 1e-6f);
    EXPECT_NEAR(sent(1), 1.0f, 1e-6f);
    EXPECT_NEAR(sent(2), 0.1f, 1e-5f);
    EXPECT_FLOAT_EQ(valueOf(morph.getSnapshotData(0), 0), 0.1f);
    EXPECT_FLOAT_EQ(valueOf(morph.getSnapshotData(1), 0), 0.2f);
    EXPECT_FALSE(morph.isDragging());
    EXPECT_TRUE(morph.showsLastPath());
    EXPECT_FLOAT_EQ(morph.getLastStart().x, 0.5f);
    EXPECT_FLOAT_EQ(morph.getLastEnd().x, 0.0f);
}

TEST_F(MorphTest, ADragWithoutAPressChangesNothing) {
    take(0, 1, {0.0f, 0.0f});
    take(1, 2, {100.0f, 0.0f});
    EXPECT_FALSE(morph.continueMorph(50.0f, 0.0f, 100.0f, 100.0f));
    EXPECT_TRUE(support.instrumentSets.empty());
    EXPECT_EQ(morph.getResult().values, nullptr);
    // Nor does a press with no snapshot at all.
    MorphSnapshots empty;
    empty.init(&support);
    EXPECT_FALSE(empty.beginMorph(1.0f, 1.0f, 10.0f, 10.0f));
    EXPECT_FALSE(empty.continueMorph(2.0f, 1.0f, 10.0f, 10.0f));
    EXPECT_TRUE(support.instrumentSets.empty());
}

TEST_F(MorphTest, ThePressAppliesEveryParameterOnceInsideTheProcessLock) {
    take(0, 1, {0.0f, 0.0f});
    take(1, 2, {100.0f, 0.0f});
    support.instrumentSets.clear();
    ASSERT_TRUE(morph.beginMorph(25.0f, 0.0f, 100.0f, 100.0f));
    ASSERT_EQ(support.lockAtApply.size(), 1u);
    EXPECT_EQ(support.lockAtApply[0], 1);
    EXPECT_EQ(support.getProcessLock()->getCount(), 0);
    EXPECT_EQ(support.instrumentSets.size(), support.indices.size());
    // A drag takes no lock.
    ASSERT_TRUE(morph.continueMorph(30.0f, 0.0f, 100.0f, 100.0f));
    EXPECT_EQ(support.lockAtApply.size(), 1u);
}

TEST_F(MorphTest, ADragSendsEachParameterAtMostOnceAndWritesBackOnlyTheLayerParameters) {
    take(0, 1, {0.0f, 0.0f});
    take(1, 2, {100.0f, 0.0f});
    take(2, 3, {0.0f, 100.0f});
    take(3, 4, {100.0f, 100.0f});
    // The last patch loaded is the current one: its data takes the blend of the layer parameters.
    const PresetData current = support.buildPresetData();
    const std::vector<float> before(current.values, current.values + current.count);
    ASSERT_TRUE(morph.beginMorph(10.0f, 20.0f, 100.0f, 100.0f));
    for (const float x : {11.0f, 40.0f, 60.0f}) {
        support.instrumentSets.clear();
        ASSERT_TRUE(morph.continueMorph(x, 20.0f, 100.0f, 100.0f));
        std::map<int, int> times;
        for (const int index : support.instrumentSets) ++times[index];
        for (const auto& [index, count] : times) EXPECT_EQ(count, 1) << "index " << index << " at x " << x;
    }
    const PresetData result = morph.getResult();
    for (size_t n = 0; n < support.indices.size(); ++n) {
        const int index = support.indices[n];
        EXPECT_FLOAT_EQ(sent(n), result.values[n]) << index;
        const bool layer = support.getParameterRangeFlag(index);
        EXPECT_FLOAT_EQ(current.values[n], layer ? result.values[n] : before[n]) << index;
    }
    // The blend is between the snapshots' values everywhere.
    EXPECT_GT(result.values[0], 0.1f);
    EXPECT_LT(result.values[0], 0.4f);
}

} // namespace
} // namespace corvex
