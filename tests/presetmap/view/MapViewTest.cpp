// The map view and the instrument selector under an X server: points and their nearest, zoom, type filter and
// snapshot marks, a left click that loads four patches and blends them, a point click, the rebuild, and the
// selector's set of types. Pictures of the map over the factory bank and of the selector are kept.
#include <memory>
#include <set>

#include <gtest/gtest.h>

#include "presetmap/MapBackground.h"
#include "presetmap/PresetMapBuilder.h"
#include "presetmap/PresetMapCache.h"
#include "presetmap/view/CInstSelectorComponent.h"
#include "presetmap/view/CPresetMapComponent.h"
#include "tests/editor/ScriptedModalCalls.h"
#include "tests/presetmap/FakeSoundmapSupport.h"
#include "tests/presetmap/InstrumentLibrary.h"
#include "tests/presets/PresetTestSupport.h"
#include "tests/support/Snapshots.h"

namespace corvex {
namespace {

struct MapPoint {
    int64_t key;
    int type;
    float x, y;
};

class MapViewTest : public ::testing::Test, public IPresetSelector {
protected:
    // Five points: four around (100, 100) and one far off; Bass (2) and Keyboard (11) among them.
    void makeView(const std::vector<MapPoint>& points = {{1, 2, 100, 100},
                                                          {2, 3, 140, 100},
                                                          {3, 11, 100, 150},
                                                          {4, 2, 160, 160},
                                                          {5, 1, 600, 600}}) {
        PresetMapRecords records;
        for (const MapPoint& p : points) {
            std::vector<float> values(support.indices.size(), static_cast<float>(p.key) / 10.0f);
            support.add(p.key, "Patch " + std::to_string(p.key), static_cast<int16_t>(p.type), values);
            PresetMapRecord r;
            r.key = p.key;
            r.type = p.type;
            r.x = p.x;
            r.y = p.y;
            r.setName("Patch " + std::to_string(p.key));
            records.push_back(r);
        }
        ASSERT_TRUE(writePresetMapCache(support.getCacheFilePath(), records));
        view = std::make_unique<CPresetMapComponent>(support, modal);
        view->setPresetSelector(this);
    }
    PresetMapButton* pointOf(int64_t key) {
        for (size_t n = 0; n < view->getRecords().size(); ++n)
            if (view->getPoint(n)->getRecord()->key == key) return view->getPoint(n);
        return nullptr;
    }
    std::set<int64_t> nearestKeys(float x, float y) {
        std::set<int64_t> keys;
        const NearestMapPoints nearest = view->findNearestPoints(x, y);
        for (int k = 0; k < nearest.count; ++k) keys.insert(nearest.records[static_cast<size_t>(k)]->key);
        return keys;
    }

    void setCurrentRecord(const PresetMapRecord* record) override { selected.push_back(record); }
    void closeBrowser() override {
        ++closes;
        view.reset();
    }

    testing::TempFolder temp;
    testing::FakeSoundmapSupport support{temp.root()};
    ScriptedModalCalls modal;
    std::unique_ptr<CPresetMapComponent> view;
    std::vector<const PresetMapRecord*> selected;
    int closes = 0;
};

TEST_F(MapViewTest, PointsTakeTheirPlaceShapeAndTooltipFromTheCache) {
    makeView();
    ASSERT_EQ(view->getRecords().size(), 5u);
    EXPECT_EQ(view->getWidth(), 1024);
    EXPECT_FALSE(view->hasBackground());
    PresetMapButton& bass = *pointOf(1);
    EXPECT_EQ(bass.getBounds(), juce::Rectangle<int>(100, 100, 17, 17));
    EXPECT_EQ(bass.getTooltip(), "Patch 1");
    // The keyboard type's bar is lower than it is wide.
    EXPECT_EQ(pointOf(3)->getBounds(), juce::Rectangle<int>(100, 150, 17, 12));
    EXPECT_EQ(PresetMapButton::outerColour(2).getARGB(), 0xB217176Au);
}

TEST_F(MapViewTest, FindsTheFourNearestPointsOfTheTypesShown) {
    makeView();
    const float r = 8.0f; // half of a 17-pixel point
    struct Case {
        const char* what;
        int mask;
        float zoom;
        float x, y;
        std::set<int64_t> expected;
    };
    const Case cases[] = {
        {"four of five", kAllInstrumentTypes, 1.0f, 120, 120, {1, 2, 3, 4}},
        {"the far one instead of the farthest", kAllInstrumentTypes, 1.0f, 400, 400, {2, 3, 4, 5}},
        // At zoom 2 a point is 32 wide: its centre lies 16 / 2 map units past its corner.
        {"exactly on a point at zoom 2", kAllInstrumentTypes, 2.0f, (600 + 8) * 2, (600 + 8) * 2, {2, 3, 4, 5}},
        {"Bass hidden", kAllInstrumentTypes & ~(1 << 2), 1.0f, 120, 120, {2, 3, 5}},
        {"only Bass", 1 << 2, 1.0f, 120, 120, {1, 4}},
        {"nothing shown", 0, 1.0f, 120, 120, {}},
    };
    for (const Case& c : cases) {
        view->setZoom(c.zoom);
        view->setVisibleTypes(c.mask);
        EXPECT_EQ(nearestKeys(c.x, c.y), c.expected) << c.what;
    }
    // A point's place for the morph is its centre in the view's pixels.
    view->setZoom(1.0f);
    view->setVisibleTypes(kAllInstrumentTypes);
    const NearestMapPoints onBass = view->findNearestPoints(100 + r, 100 + r);
    EXPECT_EQ(onBass.records[0]->key, 1);
    EXPECT_FLOAT_EQ(onBass.positions[0].x, 108.0f);
    EXPECT_FLOAT_EQ(onBass.positions[0].y, 108.0f);
}

TEST_F(MapViewTest, ZoomResizesPointsAndView) {
    makeView();
    struct Case {
        float zoom;
        int point;
        int view;
    };
    for (const Case& c : {Case{1.5f, 24, 1536}, Case{0.5f, 8, 512}, Case{2.0f, 32, 2048}, Case{4.0f, 32, 4096}}) {
        view->setZoom(c.zoom);
        EXPECT_EQ(view->getWidth(), c.view) << c.zoom;
        EXPECT_EQ(view->getHeight(), c.view) << c.zoom;
        EXPECT_EQ(pointOf(2)->getBounds(),
                  juce::Rectangle<int>(static_cast<int>(140 * c.zoom), static_cast<int>(100 * c.zoom), c.point, c.point))
            << c.zoom;
        EXPECT_FLOAT_EQ(pointOf(2)->getZoom(), c.zoom);
    }
}

TEST_F(MapViewTest, MarkedPointsShowButHiddenTypesNeverJoinAMorph) {
    makeView();
    ASSERT_TRUE(view->morphFrom(120, 120));
    view->endMorph();
    for (const int64_t key : {1, 2, 3, 4}) EXPECT_TRUE(pointOf(key)->getToggleState()) << key;
    EXPECT_FALSE(pointOf(5)->getToggleState());

    // Unticking Keyboard and Bass: their marked points stay shown, but a new morph takes none of them.
    view->setVisibleTypes(kAllInstrumentTypes & ~(1 << 11) & ~(1 << 2));
    EXPECT_TRUE(pointOf(1)->isVisible());
    EXPECT_TRUE(pointOf(3)->isVisible());
    support.loads.clear();
    ASSERT_TRUE(view->morphFrom(120, 120));
    view->endMorph();
    EXPECT_EQ(std::set<int64_t>(support.loads.begin(), support.loads.end()), (std::set<int64_t>{2, 5}));
    // Their marks gone, the filtered points hide.
    EXPECT_FALSE(pointOf(1)->isVisible());
    EXPECT_FALSE(pointOf(3)->isVisible());
    EXPECT_FALSE(pointOf(4)->isVisible());
    EXPECT_TRUE(pointOf(5)->getToggleState());
}

TEST_F(MapViewTest, ALeftClickLoadsTheFourNearestThenBlendsWhileDragging) {
    makeView();
    ASSERT_TRUE(view->morphFrom(120, 120));
    EXPECT_EQ(std::set<int64_t>(support.loads.begin(), support.loads.end()), (std::set<int64_t>{1, 2, 3, 4}));
    ASSERT_NE(view->getArrows(), nullptr);
    EXPECT_TRUE(view->getArrows()->isVisible());
    EXPECT_EQ(view->getArrows()->getPresenceMask(), 0b1111);
    // Every value lies between the patches' 0.1 and 0.4, nearer the nearest.
    const float first = support.instrument.at(0);
    EXPECT_GT(first, 0.1f);
    EXPECT_LT(first, 0.4f);

    view->continueMorphAt(108, 108); // onto the centre of patch 1
    EXPECT_NEAR(support.instrument.at(0), 0.1f, 1e-5f);
    view->endMorph();
    EXPECT_FALSE(view->getArrows()->isVisible());
    EXPECT_TRUE(view->getMorph().showsLastPath());
    // The path is drawn in cyan over the plain fill.
    const juce::Image picture = snapshotOf(*view);
    EXPECT_EQ(picture.getPixelAt(115, 115).getARGB(), 0xFF00FFFFu);
    EXPECT_EQ(picture.getPixelAt(300, 300).getARGB(), 0xFFDADAE1u);

    // A drag after the release, or a click near a single point shown, does nothing.
    support.instrumentSets.clear();
    view->continueMorphAt(130, 130);
    view->setVisibleTypes(1 << 1);
    support.loads.clear();
    EXPECT_FALSE(view->morphFrom(590, 590));
    EXPECT_TRUE(support.loads.empty());
    EXPECT_TRUE(support.instrumentSets.empty());
}

TEST_F(MapViewTest, AClickOnAPointSelectsItsPatchOnceTheBrowserListens) {
    makeView();
    view->setPresetSelector(nullptr);
    pointOf(2)->triggerClick();
    juce::MessageManager::getInstance()->runDispatchLoopUntil(20);
    EXPECT_TRUE(selected.empty());
    view->setPresetSelector(this);
    pointOf(2)->triggerClick();
    juce::MessageManager::getInstance()->runDispatchLoopUntil(20);
    ASSERT_EQ(selected.size(), 1u);
    EXPECT_EQ(selected[0]->key, 2);
}

TEST_F(MapViewTest, ARebuildWritesTheMapThenTheBrowserDeletesTheView) {
    makeView();
    // Dismissed menu, then cancelled question: nothing happens.
    modal.answerMenu(0);
    view->offerRebuild();
    modal.answerMenu(1);
    modal.answerOkCancel(false);
    view->offerRebuild();
    EXPECT_TRUE(support.loads.empty());
    EXPECT_EQ(closes, 0);
    ASSERT_EQ(modal.alerts.size(), 1u);
    EXPECT_EQ(modal.alerts[0].title, "Rebuild Preset Map");

    support.cacheFile().deleteFile();
    modal.answerMenu(1);
    modal.answerOkCancel(true);
    const juce::Component::SafePointer<CPresetMapComponent> watched(view.get());
    view->offerRebuild();
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(watched.getComponent(), nullptr);
    EXPECT_EQ(support.loads.size(), 5u);
    PresetMapRecords rebuilt;
    EXPECT_EQ(readPresetMapCache(support.getCacheFilePath(), rebuilt), PresetCacheRead::kRead);
    EXPECT_EQ(rebuilt.size(), 5u);
    EXPECT_TRUE(support.backgroundFile().existsAsFile());
}

class SelectorMessages : public juce::ChangeListener {
public:
    void changeListenerCallback(juce::ChangeBroadcaster*) override { ++count; }
    int count = 0;
};

TEST(InstrumentSelector, KeepsTheSetOfTypesShown) {
    struct Case {
        const char* what;
        int before;
        int type;
        bool shown;
        bool shift;
        int after;
    };
    const Case cases[] = {
        {"untick one", 0xFFF, 3, false, false, 0xFF7},
        {"tick it again", 0xFF7, 3, true, false, 0xFFF},
        {"Shift leaves Bass alone", 0xFFF, 2, true, true, 0x004},
        {"Shift on an unticked box", 0x001, 11, false, true, 0x800},
        {"tick into an empty set", 0x000, 0, true, false, 0x001},
    };
    for (const Case& c : cases)
        EXPECT_EQ(typeMaskAfterToggle(c.before, c.type, c.shown, c.shift), c.after) << c.what;

    CInstSelectorComponent selector;
    SelectorMessages messages;
    selector.addChangeListener(&messages);
    const auto deliver = [] { juce::MessageManager::getInstance()->runDispatchLoopUntil(20); };
    const auto ticks = [&selector] {
        int mask = 0;
        for (int k = 0; k < kInstrumentTypeCount; ++k)
            if (selector.getToggle(k).getToggleState()) mask |= 1 << k;
        return mask;
    };
    EXPECT_EQ(selector.getTypeMask(), 0xFFF);
    EXPECT_EQ(selector.getToggle(11).getButtonText(), "Keyboard");
    EXPECT_EQ(selector.getToggle(8).getTooltip(), "Hide/Show Sequence/Arp Presets");

    // A plain click on a ticked box clears its bit alone.
    selector.getToggle(11).setToggleState(false, juce::sendNotificationSync);
    deliver();
    EXPECT_EQ(selector.getTypeMask(), 0x7FF);
    EXPECT_EQ(messages.count, 1);
    // Shift+click on Bass: Bass alone, the none key as it was.
    juce::ModifierKeys::currentModifiers = juce::ModifierKeys(juce::ModifierKeys::shiftModifier);
    selector.getToggle(2).setToggleState(false, juce::sendNotificationSync);
    juce::ModifierKeys::currentModifiers = juce::ModifierKeys();
    deliver();
    EXPECT_EQ(selector.getTypeMask(), 0x004);
    EXPECT_EQ(ticks(), 0x004);
    EXPECT_TRUE(selector.getNoneButton().isVisible());
    EXPECT_EQ(messages.count, 2);
    // None clears all and uncovers all, which fills them again.
    selector.buttonClicked(&selector.getNoneButton());
    deliver();
    EXPECT_EQ(selector.getTypeMask(), 0);
    EXPECT_EQ(ticks(), 0);
    EXPECT_FALSE(selector.getNoneButton().isVisible());
    EXPECT_EQ(messages.count, 3);
    selector.buttonClicked(&selector.getAllButton());
    deliver();
    EXPECT_EQ(selector.getTypeMask(), 0xFFF);
    EXPECT_EQ(ticks(), 0xFFF);
    EXPECT_TRUE(selector.getNoneButton().isVisible());
    EXPECT_EQ(messages.count, 4);
    selector.removeChangeListener(&messages);

    selector.setSize(128, 336);
    EXPECT_TRUE(keepSnapshot(snapshotOf(selector), "presetmap-selector.png"));
}

// The factory bank's map as the player first sees it, with a morph drawn: a picture for a person to look at.
TEST(FactoryBankMapView, ShowsEveryPatchOverItsBackground) {
    testing::InstrumentLibrary library;
    ASSERT_TRUE(PresetMapBuilder(*library.adapter).run());
    ScriptedModalCalls modal;
    CPresetMapComponent view(*library.adapter, modal);
    EXPECT_EQ(view.getRecords().size(), 17u);
    EXPECT_TRUE(view.hasBackground());
    const PresetMapRecord& first = view.getRecords().front();
    ASSERT_TRUE(view.morphFrom(first.x + 30, first.y + 30));
    view.continueMorphAt(first.x + 60, first.y + 10);
    view.endMorph();
    EXPECT_TRUE(keepSnapshot(snapshotOf(view), "presetmap-map.png"));
}

} // namespace
} // namespace corvex
