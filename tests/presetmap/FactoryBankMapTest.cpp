// A full rebuild over the real factory bank: every patch placed, both files written, the player's patch and
// edits back afterwards, patches of one type near each other, and a patch saved later on the next map.
#include <cmath>
#include <map>

#include <gtest/gtest.h>

#include "presetmap/MapBackground.h"
#include "presetmap/PresetKey.h"
#include "presetmap/PresetMapBuilder.h"
#include "tests/presetmap/InstrumentLibrary.h"

namespace corvex {
namespace {

TEST(FactoryBankMap, ARebuildPlacesEveryPatchAndPutsThePlayersPatchBack) {
    testing::InstrumentLibrary library;
    CorvanSoundmapAdapter& adapter = *library.adapter;
    // The player has chosen a patch and turned a knob without saving.
    library.patches().setCurrentPreset(library.patch("U_2005"), false);
    library.instrument->setParameter(12, 0.3125f);
    const float edited = library.instrument->getParameter(12);
    ASSERT_FALSE(library.folder.getSettingsFolder().getChildFile("presetCache.dat").exists());

    ASSERT_TRUE(PresetMapBuilder(adapter).run());
    library.deliverMessages();

    EXPECT_EQ(library.patches().getCurrentPreset()->getIdentifier(), "U_2005");
    EXPECT_EQ(library.instrument->getParameter(12), edited);
    EXPECT_EQ(adapter.getProcessLock()->getCount(), 0);

    PresetMapRecords records;
    ASSERT_EQ(readPresetMapCache(adapter.getCacheFilePath(), records), PresetCacheRead::kRead);
    ASSERT_EQ(records.size(), 17u);
    std::map<int64_t, int> types;
    for (const PresetMapRecord& r : records) {
        EXPECT_EQ(r.getName(), adapter.getPresetName(r.key));
        EXPECT_EQ(r.type, adapter.getPresetType(r.key));
        EXPECT_TRUE(r.x >= 0.0f && r.x <= 1023.0f && r.y >= 0.0f && r.y <= 1023.0f) << r.key;
        types[r.key] = r.type;
    }
    const juce::Image background = juce::ImageFileFormat::loadFrom(juce::File(adapter.getBackgroundImagePath()));
    EXPECT_EQ(background.getWidth(), kMapBackgroundSize);

    // Similar patches land near each other: patches of one type are closer on the map, on average, than
    // patches of different types.
    double within = 0, across = 0;
    int withinPairs = 0, acrossPairs = 0;
    for (size_t i = 0; i < records.size(); ++i)
        for (size_t j = 0; j < i; ++j) {
            const double d = std::hypot(records[i].x - records[j].x, records[i].y - records[j].y);
            if (records[i].type == records[j].type) {
                within += d;
                ++withinPairs;
            } else {
                across += d;
                ++acrossPairs;
            }
        }
    ASSERT_GT(withinPairs, 0);
    EXPECT_LT(within / withinPairs, across / acrossPairs);

    // A patch saved afterwards is on the next map.
    MorvanePreset* saved = library.saveNewPatch("Saved After");
    ASSERT_NE(saved, nullptr);
    ASSERT_TRUE(PresetMapBuilder(adapter).run());
    ASSERT_EQ(readPresetMapCache(adapter.getCacheFilePath(), records), PresetCacheRead::kRead);
    ASSERT_EQ(records.size(), 18u);
    EXPECT_EQ(records.back().key, presetKeyFromId(saved->getIdentifier()));
    EXPECT_EQ(records.back().getName(), "Saved After");
    EXPECT_EQ(library.patches().getCurrentPreset(), saved);
}

} // namespace
} // namespace corvex
