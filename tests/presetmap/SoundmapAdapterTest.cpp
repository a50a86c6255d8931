// The product's adapter: the map's parameter walk, patch keys and types from the library, value blocks read
// from the instrument once per patch, and patches saved after it was made.
#include "presetmap/CorvanSoundmapAdapter.h"

#include <set>

#include <gtest/gtest.h>

#include "presetmap/PresetKey.h"
#include "tests/presetmap/InstrumentLibrary.h"

namespace corvex {
namespace {

using testing::InstrumentLibrary;

TEST(PresetKey, IsTheNumberAfterUAndUnderscore) {
    const std::vector<std::pair<const char*, int64_t>> cases{
        {"U_123", 123}, {"U_1700000000123", 1700000000123}, {"U_0123", 123}, {"U_12ab", 12}, {"U_-7", -7},
        {"U_+9", 9},    {"U_", 0},   {"U_x1", 0},  {"X_5", 0},   {"u_5", 0},  {"Default", 0},   {"", 0},
        {"U_99999999999999999999", 0},
    };
    for (const auto& [identifier, key] : cases) EXPECT_EQ(presetKeyFromId(std::string_view(identifier)), key) << identifier;
    EXPECT_EQ(presetIdFromKey(42), "U_42");
    EXPECT_EQ(presetIdFromKey(0), "Default");
    EXPECT_EQ(presetIdFromKey(-3), "Default");
}

class SoundmapAdapter : public ::testing::Test {
protected:
    InstrumentLibrary library;
    CorvanSoundmapAdapter& adapter = *library.adapter;

    std::vector<int64_t> walkKeys() {
        std::vector<int64_t> keys;
        for (int64_t key = adapter.getNextPresetKey(-1); key != -1; key = adapter.getNextPresetKey(key))
            keys.push_back(key);
        return keys;
    }
    std::vector<float> instrumentValues() {
        std::vector<float> values;
        for (int index = adapter.getNextParameterIndex(-1); index >= 0; index = adapter.getNextParameterIndex(index))
            values.push_back(library.instrument->getParameter(index));
        return values;
    }
};

TEST_F(SoundmapAdapter, WalksBothLayersFirstBlocksAndTheSecondBlocks) {
    std::vector<int> walked;
    for (int index = adapter.getNextParameterIndex(-1); index >= 0; index = adapter.getNextParameterIndex(index))
        walked.push_back(index);
    std::vector<int> expected;
    for (const auto& [first, last] : {std::pair{0, 48}, {92, 140}, {211, 233}})
        for (int i = first; i <= last; ++i) expected.push_back(i);
    EXPECT_EQ(walked, expected);

    const auto it = adapter.makeParameterIterator();
    EXPECT_EQ(it->getCount(), 121);
    for (int round = 0; round < 2; ++round) {
        std::vector<int> iterated;
        while (it->next()) iterated.push_back(it->getIndex());
        EXPECT_EQ(iterated, expected);
        EXPECT_FALSE(it->next());
        it->reset();
    }
    for (size_t n = 0; n < expected.size(); ++n) EXPECT_EQ(adapter.positionOfIndex(expected[n]), static_cast<int>(n));

    const std::vector<std::pair<int, bool>> flags{{0, true},   {48, true},   {49, false}, {92, true},  {140, true},
                                                  {141, false}, {211, false}, {233, false}, {300, false}, {-1, false}};
    for (const auto& [index, flag] : flags) {
        EXPECT_EQ(adapter.getParameterRangeFlag(index), flag) << index;
        if (index >= 0 && adapter.positionOfIndex(index) < 0) {
            EXPECT_EQ(adapter.getNextParameterIndex(index), -1) << index;
        }
    }
    EXPECT_EQ(adapter.getParameterWeight(17), 1.0f);
    EXPECT_EQ(adapter.getParameterMorphKind(17), 0);
    EXPECT_EQ(adapter.getCurrentPresetData().count, 0);
    EXPECT_EQ(adapter.getProcessLock()->getCount(), 0);
}

TEST_F(SoundmapAdapter, KnowsThePatchesByKeyWithTheirNamesAndTypes) {
    std::vector<int64_t> expected;
    for (int64_t key = 2001; key <= 2017; ++key) expected.push_back(key);
    EXPECT_EQ(walkKeys(), expected) << "the factory patches, without \"Default\"";
    EXPECT_EQ(adapter.getNextPresetKey(2017), -1);
    EXPECT_EQ(adapter.getNextPresetKey(5), -1) << "a key the library does not hold";

    struct Case {
        int64_t key;
        const char* name;
        int16_t type;
    };
    const Case cases[] = {
        {2001, "Acid Line", 2}, {2002, "Big Saw Lead", 3}, {2003, "Warm Pad Hall", 1}, {2004, "Drawbar Organ", 11},
        {2005, "FM Bells", 5},  {2006, "Step Pattern", 8}, {2007, "Bass & Piano", 11},  {2010, "Strings over Bass", 9},
        {2012, "Brass & Strings", 6}, {0, "Default", 0},   {777, "Default", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(adapter.getPresetName(c.key), c.name) << c.key;
        EXPECT_EQ(adapter.getPresetType(c.key), c.type) << c.key;
    }
    // A program of a type the map does not know.
    MorvanePresetFilterManager& upper = *library.instrument->getProgramFilterManager(false);
    MorvanePreset* choir = upper.saveCurrentAsNewPreset("Choir");
    ASSERT_NE(choir, nullptr);
    choir->setAttribute("Type", "Choir", false);
    ASSERT_TRUE(upper.savePresetAttributes(choir));
    MorvanePreset* patch = library.patches().saveCurrentAsNewPreset("Choir Patch");
    ASSERT_NE(patch, nullptr);
    adapter.refreshPresetKeys();
    EXPECT_EQ(adapter.getPresetType(presetKeyFromId(patch->getIdentifier())), 0);

    const juce::File settings = library.folder.getSettingsFolder();
    EXPECT_EQ(adapter.getCacheFilePath(), settings.getChildFile("presetCache.dat").getFullPathName().toStdString());
    EXPECT_EQ(adapter.getBackgroundImagePath(), settings.getChildFile("mapBackground.png").getFullPathName().toStdString());
}

TEST_F(SoundmapAdapter, ReadsAPatchsValuesOnceAndSharesThem) {
    adapter.loadPreset(2001);
    EXPECT_EQ(library.patches().getCurrentPreset()->getIdentifier(), "U_2001");
    const PresetData acid = adapter.buildPresetData();
    ASSERT_EQ(acid.count, 121);
    EXPECT_EQ(std::vector<float>(acid.values, acid.values + acid.count), instrumentValues());
    const std::vector<float> acidValues(acid.values, acid.values + acid.count);

    // Built again: the same array. A value set through one copy is seen through the other and is heard.
    PresetData again = adapter.buildPresetData();
    EXPECT_EQ(again.values, acid.values);
    adapter.setParameterValue(12, &again, 0.125f);
    EXPECT_EQ(adapter.getParameterValue(12, acid), 0.125f);
    EXPECT_FLOAT_EQ(library.instrument->getParameter(12), 0.125f);
    adapter.setParameterValue(13, nullptr, 0.25f);
    EXPECT_EQ(adapter.getParameterValue(13, acid), 0.25f) << "null: the block built last";

    adapter.loadPreset(2002);
    const PresetData lead = adapter.buildPresetData();
    EXPECT_NE(lead.values, acid.values);
    EXPECT_EQ(std::vector<float>(lead.values, lead.values + lead.count), instrumentValues());
    EXPECT_NE(std::vector<float>(lead.values, lead.values + lead.count), acidValues);

    adapter.applyPresetData(acid);
    EXPECT_EQ(instrumentValues(), std::vector<float>(acid.values, acid.values + acid.count));

    std::vector<float> weighted;
    adapter.getWeightedParameterValues(weighted, lead);
    EXPECT_EQ(weighted, std::vector<float>(lead.values, lead.values + lead.count));
}

// The blocks grow with the library: every patch of the walk, "Default" and patches saved after the adapter
// was made each get an array of their own, and none writes into another's.
TEST_F(SoundmapAdapter, EveryPatchBuiltGetsABlockOfItsOwn) {
    std::vector<PresetData> blocks;
    std::vector<std::vector<float>> values;
    const auto build = [&] {
        blocks.push_back(adapter.buildPresetData());
        values.push_back(instrumentValues());
    };
    for (const int64_t key : walkKeys()) {
        adapter.loadPreset(key);
        build();
    }
    adapter.loadPreset(0);
    EXPECT_EQ(library.patches().getCurrentPreset()->getIdentifier(), "Default");
    build();
    for (int n = 0; n < 3; ++n) {
        library.instrument->setParameter(12, 0.1f * n);
        ASSERT_NE(library.saveNewPatch("Saved later " + juce::String(n)), nullptr);
        build();
    }
    std::set<const float*> arrays;
    for (size_t n = 0; n < blocks.size(); ++n) {
        arrays.insert(blocks[n].values);
        EXPECT_EQ(std::vector<float>(blocks[n].values, blocks[n].values + blocks[n].count), values[n]) << n;
    }
    EXPECT_EQ(arrays.size(), 17u + 1u + 3u);
}

TEST_F(SoundmapAdapter, PatchesSavedLaterJoinTheWalkAfterARefresh) {
    MorvanePreset* saved = library.saveNewPatch("Saved later");
    ASSERT_NE(saved, nullptr);
    const int64_t key = presetKeyFromId(saved->getIdentifier());
    ASSERT_GT(key, 2017);
    EXPECT_EQ(walkKeys().size(), 17u);
    adapter.refreshPresetKeys();
    EXPECT_EQ(walkKeys().back(), key);
    EXPECT_EQ(adapter.getPresetName(key), "Saved later");

    // A patch saved over since its block was read is read again after the refresh.
    adapter.loadPreset(key);
    const PresetData before = adapter.buildPresetData();
    library.instrument->setParameter(12, 0.75f);
    MorvanePresetFilterManager& upper = *library.instrument->getProgramFilterManager(false);
    ASSERT_TRUE(upper.savePreset(upper.getCurrentPreset()));
    ASSERT_TRUE(library.patches().savePreset(saved));
    EXPECT_NE(adapter.getParameterValue(12, adapter.buildPresetData()), 0.75f) << "cached until a refresh";
    adapter.refreshPresetKeys();
    adapter.loadPreset(key);
    const PresetData after = adapter.buildPresetData();
    EXPECT_EQ(after.values, before.values) << "copies made before still point at the patch's array";
    EXPECT_FLOAT_EQ(adapter.getParameterValue(12, after), 0.75f);

    ASSERT_TRUE(library.patches().getPresetManager()->deletePreset(saved));
    adapter.refreshPresetKeys();
    EXPECT_EQ(walkKeys().size(), 17u);
}

TEST(SoundmapAdapterKeys, TwoIdentifiersOfOneKeyAreToldAndTheOneTheKeySpellsKeepsIt) {
    ::testing::internal::CaptureStderr();
    InstrumentLibrary library([](const juce::File& bank) {
        juce::MemoryBlock bytes;
        ASSERT_TRUE(bank.getChildFile("U_2003.cvm").loadFileAsData(bytes));
        const std::string original(static_cast<const char*>(bytes.getData()), bytes.getSize());
        std::string twin = original;
        const size_t at = twin.find("ids=\"U_2003\" name=\"Warm Pad Hall\"");
        ASSERT_NE(at, std::string::npos);
        twin.replace(at, 33, "ids=\"U_02003\" name=\"Twin Pad Hall\"");
        testing::writeBytes(bank.getChildFile("U_02003.cvm"), std::vector<uint8_t>(twin.begin(), twin.end()));
    });
    const std::string log = ::testing::internal::GetCapturedStderr();
    ASSERT_NE(library.patch("U_02003"), nullptr) << "the library holds both";
    EXPECT_NE(log.find("U_2003 and U_02003 share the key 2003, U_02003 is left off the map"), std::string::npos) << log;
    CorvanSoundmapAdapter& adapter = *library.adapter;
    EXPECT_EQ(adapter.getPresetName(2003), "Warm Pad Hall");
    int count = 0;
    for (int64_t key = adapter.getNextPresetKey(-1); key != -1; key = adapter.getNextPresetKey(key)) ++count;
    EXPECT_EQ(count, 17);
}

} // namespace
} // namespace corvex
