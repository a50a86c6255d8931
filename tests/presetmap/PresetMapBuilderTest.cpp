// The map builder over a fake library: the feature vectors and their weights, the stages, what a stop or a
// failed write leaves on disk, the process lock, and a damaged cache built again.
#include "presetmap/PresetMapBuilder.h"

#include <new>

#include <gtest/gtest.h>

#include "presetmap/MapBackground.h"
#include "tests/presetmap/FakeSoundmapSupport.h"
#include "tests/presets/PresetTestSupport.h"

namespace corvex {
namespace {

using testing::FakeSoundmapSupport;

std::vector<float> values(std::initializer_list<float> head) {
    std::vector<float> v(head);
    v.resize(121, 0.5f);
    return v;
}

struct RecordingProgress : PresetMapBuildProgress {
    std::vector<juce::String> texts;
    std::vector<double> progress;
    int stopAfterStages = 100;
    void setProgress(double p) override { progress.push_back(p); }
    void setStatusMessage(const juce::String& text) override { texts.push_back(text); }
    bool threadShouldExit() override { return static_cast<int>(texts.size()) >= stopAfterStages; }
};

class MapBuilder : public ::testing::Test {
protected:
    MapBuilder() {
        support.add(30, "Lead Two", 3, values({0.9f, 0.1f}), "Ann");
        support.add(10, "Lead One", 3, values({0.1f, 0.9f}), "Bob");
        support.add(20, "Plain", 0, values({0.5f}));
        support.add(40, "Odd Type", 15, values({0.2f}));
        support.matrixSection = {1.0f, -2.0f};
    }
    testing::TempFolder temp;
    FakeSoundmapSupport support{temp.root().getChildFile("Save")};
};

TEST_F(MapBuilder, DescribesEachPatchByItsTypeItsMatrixAndItsParametersEachWeighted) {
    MapWeights weights;
    weights.set("Inst", 2.0f);
    weights.set("Matx", 3.0f);
    FeatureVectors features;
    PresetMapRecords records;
    analysePresets(support, weights, features, records);

    EXPECT_EQ(support.loads, (std::vector<int64_t>{10, 20, 30, 40})) << "in key order";
    ASSERT_EQ(features.size(), 4u);
    ASSERT_EQ(records.size(), 4u);
    for (size_t n = 0; n < 4; ++n) ASSERT_EQ(features[n].size(), 12u + 2u + 121u);
    const auto section = [&](size_t n, size_t from, size_t count) {
        return std::vector<float>(features[n].begin() + from, features[n].begin() + from + count);
    };
    std::vector<float> lead(12, 0.0f), plain(12, 0.0f);
    lead[3] = 14.0f;
    plain[0] = 14.0f;
    EXPECT_EQ(section(0, 0, 12), lead);
    EXPECT_EQ(section(1, 0, 12), plain);
    EXPECT_EQ(section(3, 0, 12), std::vector<float>(12, 0.0f)) << "a type outside 0..11 marks none";
    EXPECT_EQ(section(0, 12, 2), (std::vector<float>{3.0f, -6.0f}));
    EXPECT_FLOAT_EQ(features[0][14], 0.1f * 7.0f);
    EXPECT_FLOAT_EQ(features[0][15], 0.9f * 7.0f);
    EXPECT_FLOAT_EQ(features[0][134], 0.5f * 7.0f);

    EXPECT_EQ(records[2].key, 30);
    EXPECT_EQ(records[2].type, 3);
    EXPECT_EQ(records[2].getName(), "Lead Two");
    EXPECT_EQ(records[2].getAuthor(), "Ann");
    EXPECT_EQ(records[3].type, 0) << "drawn as no type";

    // Without the parameters, patches of one type coincide.
    weights.set("Par", 0.0f);
    analysePresets(support, weights, features, records);
    EXPECT_EQ(features[0], features[2]);
    EXPECT_NE(features[0], features[1]);
    EXPECT_EQ(weights.get("Att"), 10.0f) << "kept, and used by nothing";
}

TEST_F(MapBuilder, HoldsTheProcessLockWhileLoadingAndPutsThePlayersSoundBack) {
    FeatureVectors features;
    PresetMapRecords records;
    analysePresets(support, MapWeights(), features, records);
    EXPECT_EQ(support.lockAtLoad, std::vector<int32_t>(4, 1));
    EXPECT_EQ(support.getProcessLock()->getCount(), 0);
    EXPECT_EQ(support.refreshes, 1) << "patches saved since are in";
    EXPECT_EQ(support.keeps, 1);
    EXPECT_EQ(support.restores, 1);

    // Out of memory half way: the lock is released and the sound put back all the same.
    support.onLoad = [](int64_t key) {
        if (key == 30) throw std::bad_alloc();
    };
    EXPECT_THROW(analysePresets(support, MapWeights(), features, records), std::bad_alloc);
    EXPECT_EQ(support.getProcessLock()->getCount(), 0);
    EXPECT_EQ(support.restores, 2);
}

TEST_F(MapBuilder, ARunWritesTheCacheAndTheBackgroundThroughEveryStage) {
    RecordingProgress progress;
    ASSERT_TRUE(PresetMapBuilder(support, MapWeights(), &progress).run());
    EXPECT_EQ(progress.progress, (std::vector<double>{0.0, 0.25, 0.5, 0.75}));
    EXPECT_EQ(progress.texts.front(), "Analysing all presets (1-2 min.)...");
    EXPECT_EQ(progress.texts.back(), "Completed !");

    PresetMapRecords records;
    ASSERT_EQ(readPresetMapCache(support.getCacheFilePath(), records), PresetCacheRead::kRead);
    ASSERT_EQ(records.size(), 4u);
    for (size_t n = 0; n < 4; ++n) {
        EXPECT_EQ(records[n].key, (std::vector<int64_t>{10, 20, 30, 40})[n]);
        EXPECT_GE(records[n].x, 0.0f);
        EXPECT_LE(records[n].x, 1023.0f);
        EXPECT_GE(records[n].y, 0.0f);
        EXPECT_LE(records[n].y, 1023.0f);
    }
    const juce::Image background = juce::ImageFileFormat::loadFrom(support.backgroundFile());
    EXPECT_EQ(background.getWidth(), kMapBackgroundSize);
}

// A run stopped between stages, or whose cache cannot be written, leaves the map of before: both files.
TEST_F(MapBuilder, AStoppedOrFailedRunKeepsTheOldMap) {
    PresetMapRecord old;
    old.key = 10;
    old.setName("Old map");
    ASSERT_TRUE(writePresetMapCache(support.getCacheFilePath(), {old}));
    ASSERT_TRUE(saveMapBackground(support, {old}));
    const std::vector<uint8_t> oldCache = testing::readBytes(support.cacheFile());
    const std::vector<uint8_t> oldBackground = testing::readBytes(support.backgroundFile());

    struct Case {
        const char* name;
        int stopAfterStages;
        rlim_t fileSizeLimit;
    };
    const Case cases[] = {
        {"stopped during the analysis", 1, RLIM_INFINITY},
        {"stopped while placing", 2, RLIM_INFINITY},
        {"the cache cannot be written", 100, 50},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingProgress progress;
        progress.stopAfterStages = c.stopAfterStages;
        support.loads.clear();
        {
            std::unique_ptr<testing::FileSizeLimit> limit;
            if (c.fileSizeLimit != RLIM_INFINITY) limit = std::make_unique<testing::FileSizeLimit>(c.fileSizeLimit);
            EXPECT_FALSE(PresetMapBuilder(support, MapWeights(), &progress).run());
        }
        EXPECT_EQ(support.loads.size(), 4u) << "a stage under way runs to its end";
        EXPECT_EQ(testing::readBytes(support.cacheFile()), oldCache);
        EXPECT_EQ(testing::readBytes(support.backgroundFile()), oldBackground);
        EXPECT_EQ(support.getProcessLock()->getCount(), 0);
    }
}

TEST_F(MapBuilder, ADamagedCacheIsBuiltAgainAndAMissingOneLeavesTheMapEmpty) {
    PresetMapRecords records;
    EXPECT_EQ(loadPresetMap(support, records), PresetCacheRead::kMissing);
    EXPECT_TRUE(records.empty());
    EXPECT_TRUE(support.loads.empty()) << "nothing is built without the user";

    ASSERT_TRUE(support.cacheFile().getParentDirectory().createDirectory());
    ASSERT_TRUE(support.cacheFile().replaceWithText("10,3,1.0e+01,2.0e+01,0,0,Lead,One\nbroken line\n"));
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(loadPresetMap(support, records), PresetCacheRead::kRead);
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("built again"), std::string::npos);
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[1].getName(), "Plain");
    EXPECT_TRUE(support.backgroundFile().existsAsFile());
}

} // namespace
} // namespace corvex
