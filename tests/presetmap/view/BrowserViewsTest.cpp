// The preset browser's side views under an X server: the bar's messages and keys, the list's filter, order and
// current row, the morpher's snapshots, morph and report, and the navigator's rectangle, drag and marker.
// A picture of each view is kept.
#include <array>
#include <cmath>
#include <memory>
#include <sstream>
#include <vector>

#include <gtest/gtest.h>

#include "presetmap/view/CPresetBrowserBar.h"
#include "presetmap/view/CMapNavigator.h"
#include "presetmap/view/CMorpherComponent.h"
#include "presetmap/view/CPresetListComponent.h"
#include "presetmap/view/CPresetMapComponent.h"
#include "presetmap/PresetMapCache.h"
#include "tests/editor/ScriptedModalCalls.h"
#include "tests/presetmap/FakeSoundmapSupport.h"
#include "tests/presets/PresetTestSupport.h"
#include "widgets/CorvanLookAndFeel.h"
#include "tests/support/Snapshots.h"

namespace corvex {
namespace {

void deliverMessages() { juce::MessageManager::getInstance()->runDispatchLoopUntil(20); }

class MessageLog : public juce::ActionListener {
public:
    void actionListenerCallback(const juce::String& message) override { messages.add(message); }
    juce::StringArray messages;
};

class ShiftHeld {
public:
    explicit ShiftHeld(bool held) {
        juce::ModifierKeys::currentModifiers =
            held ? juce::ModifierKeys(juce::ModifierKeys::shiftModifier) : juce::ModifierKeys();
    }
    ~ShiftHeld() { juce::ModifierKeys::currentModifiers = juce::ModifierKeys(); }
};

using Bar = CPresetBrowserBar;

TEST(BrowserBar, EveryKeySendsItsMessageWithShiftOnlyTurningMemoriesToStore) {
    struct Case {
        Bar::Key key;
        const char* plain;
        const char* shifted;
    };
    const Case cases[] = {
        {Bar::kStoreW, "FW", "fw"},          {Bar::kStoreN, "FN", "fn"},
        {Bar::kStoreS, "FS", "fs"},          {Bar::kStoreE, "FE", "fe"},
        {Bar::kRecallW, "FW", "fw"},         {Bar::kRecallN, "FN", "fn"},
        {Bar::kRecallS, "FS", "fs"},         {Bar::kRecallE, "FE", "fe"},
        {Bar::kPrevious, "<", "<"},          {Bar::kNext, ">", ">"},
        {Bar::kTools, "T", "T"},             {Bar::kShowMap, Bar::kShowMapMessage, Bar::kShowMapMessage},
        {Bar::kShowList, Bar::kShowListMessage, Bar::kShowListMessage},
        {Bar::kShowMorpher, Bar::kShowMorpherMessage, Bar::kShowMorpherMessage},
    };
    Bar bar;
    bar.setButtonEnabled("<", true);
    bar.setButtonEnabled(">", true);
    MessageLog log;
    bar.addActionListener(&log);
    for (const bool shift : {false, true}) {
        for (const Case& c : cases) {
            log.messages.clear();
            {
                const ShiftHeld held(shift);
                bar.getKey(c.key).triggerClick();
                deliverMessages();
            }
            EXPECT_EQ(log.messages, juce::StringArray(shift ? c.shifted : c.plain))
                << bar.getKey(c.key).getName() << (shift ? " with Shift" : "");
        }
    }
    bar.removeActionListener(&log);

    // The three view messages differ from each other and from every other message.
    juce::StringArray all;
    for (const Case& c : cases)
        for (const char* m : {c.plain, c.shifted}) all.addIfNotAlreadyThere(m);
    for (const char* browserOwn : {"ZI", "ZO", "ZA", "ZF"}) all.addIfNotAlreadyThere(browserOwn);
    EXPECT_EQ(all.size(), 8 + 3 + 3 + 4);
}

TEST(BrowserBar, TheBrowserEnablesKeysAndRevealsRecallKeysOnTheStoreKeysSpot) {
    Bar bar;
    EXPECT_EQ(bar.getWidth(), 640);
    EXPECT_EQ(bar.getHeight(), 30);
    const auto enabledAndShown = [&bar] {
        juce::String state;
        for (int k = 0; k < Bar::kKeyCount; ++k) {
            const juce::Button& key = bar.getKey(static_cast<Bar::Key>(k));
            state << (key.isVisible() ? (key.isEnabled() ? "E" : "d") : "-");
        }
        return state;
    };
    // At start: history disabled, tools and recall keys hidden.
    EXPECT_EQ(enabledAndShown(), "EEEE----ddEE-E");
    EXPECT_EQ(bar.getPresetName(), "<preset>");
    EXPECT_TRUE(bar.getNameField().isReadOnly());

    struct Case {
        const char* message;
        bool enabled;
        const char* after;
    };
    const Case cases[] = {
        {"<", true, "EEEE----EdEE-E"},
        {">", true, "EEEE----EEEE-E"},
        {"FW", false, "dEEE----EEEE-E"}, // the store key, not the recall key
        {"fw", false, "dEEE----EEEE-E"}, // only the plain messages name a key
        {Bar::kShowListMessage, false, "dEEE----EEEd-E"},
        {Bar::kShowMorpherMessage, false, "dEEE----EEEd-d"},
        {"T", false, "dEEE----EEEd-d"}, // hidden: enabling it does not show it
        {"nothing", false, "dEEE----EEEd-d"},
    };
    for (const Case& c : cases) {
        bar.setButtonEnabled(c.message, c.enabled);
        EXPECT_EQ(enabledAndShown(), c.after) << c.message;
    }
    EXPECT_FALSE(bar.getKey(Bar::kTools).isEnabled());

    bar.showRecallButton("FN");
    bar.showRecallButton("fs"); // the store message names no recall key
    EXPECT_EQ(enabledAndShown(), "dEEE-E--EEEd-d");
    // The recall key covers its store key, so a click there recalls.
    bar.setVisible(true);
    const juce::Rectangle<int> spot = bar.getKey(Bar::kStoreN).getBounds();
    EXPECT_EQ(bar.getKey(Bar::kRecallN).getBounds(), spot);
    EXPECT_EQ(bar.getComponentAt(spot.getCentre()), &bar.getKey(Bar::kRecallN));
    EXPECT_EQ(bar.getKey(Bar::kRecallN).getTooltip(),
              "Load preset from snapshot memory #2 (press \"Shift\" key to save)");

    bar.setPresetName("Warm Pad");
    bar.showRecallButton("FW");
    bar.setButtonEnabled("FW", true);
    bar.setButtonEnabled(Bar::kShowListMessage, true);
    bar.setButtonEnabled(Bar::kShowMorpherMessage, true);
    EXPECT_TRUE(keepSnapshot(snapshotOf(bar), "presetmap-bar.png"));
}


PresetMapRecord makeRecord(int64_t key, const char* name, int type, const char* author, float x = 0, float y = 0) {
    PresetMapRecord r;
    r.key = key;
    r.type = type;
    r.x = x;
    r.y = y;
    r.setName(name);
    r.setAuthor(author);
    return r;
}

class SelectionLog : public IPresetSelector {
public:
    void setCurrentRecord(const PresetMapRecord* record) override { selected.push_back(record); }
    void closeBrowser() override {}
    std::vector<const PresetMapRecord*> selected;
};

// Five presets, three of them in memories: #2 (North), #4 (East) and #1 (West).
class PresetListTest : public ::testing::Test {
protected:
    PresetListTest() {
        list.setRecords(&records);
        list.setSnapshots(snapshots.data());
        list.setPresetSelector(&selector);
        list.rebuildRows();
    }
    std::vector<int64_t> keysOf(const std::vector<const PresetMapRecord*>& rows) const {
        std::vector<int64_t> keys;
        for (const PresetMapRecord* r : rows) keys.push_back(r->key);
        return keys;
    }
    std::vector<int64_t> listedKeys() {
        std::vector<int64_t> keys;
        for (int row = 0; row < list.getNumRows(); ++row) keys.push_back(list.getRowRecord(row)->key);
        return keys;
    }
    int rowOf(int64_t key) {
        for (int row = 0; row < list.getNumRows(); ++row)
            if (list.getRowRecord(row)->key == key) return row;
        return -1;
    }

    const PresetMapRecords records{makeRecord(1, "pad soft", 1, "Bea"), makeRecord(2, "Bass Low", 2, "alan"),
                                   makeRecord(3, "Lead Hot", 3, "Cid"), makeRecord(4, "Bass Sub", 2, "Bea"),
                                   makeRecord(5, "keys", 11, "Alan")};
    const std::array<const PresetMapRecord*, 4> snapshots{&records[2], &records[4], nullptr, &records[0]};
    SelectionLog selector;
    CPresetListComponent list;
};

TEST_F(PresetListTest, ListsTheTypesOfTheMaskSortedByAnyColumnBothWays) {
    struct Case {
        const char* what;
        int mask;
        int column;
        std::vector<int64_t> keys;
    };
    const Case cases[] = {
        {"all, own order", 0xFFF, 0, {1, 2, 3, 4, 5}},
        {"Bass only", 0x004, 0, {2, 4}},
        {"Pad and Keyboard", 0x802, 0, {1, 5}},
        {"none", 0, 0, {}},
        {"name, upper case first", 0xFFF, 1, {2, 4, 3, 5, 1}},
        {"name descending", 0xFFF, -1, {1, 5, 3, 4, 2}},
        {"type", 0xFFF, 2, {1, 2, 4, 3, 5}},
        {"type descending", 0xFFF, -2, {5, 3, 2, 4, 1}},
        {"author", 0xFFF, 3, {5, 1, 4, 3, 2}},
        {"author descending", 0xFFF, -3, {2, 3, 1, 4, 5}},
        {"memory: none first, then #1 to #4", 0xFFF, 4, {2, 4, 1, 3, 5}},
        {"memory descending", 0xFFF, -4, {5, 3, 1, 2, 4}},
        {"Bass by memory", 0x004, -1, {4, 2}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(keysOf(presetListRows(records, c.mask, c.column, snapshots.data())), c.keys) << c.what;

    struct Cell {
        size_t record;
        int column;
        const char* text;
    };
    const Cell cells[] = {{4, CPresetListComponent::kInstrument, "Keyboard"}, {1, CPresetListComponent::kInstrument, "Bass"},
                          {0, CPresetListComponent::kSnap, "*1"},          {2, CPresetListComponent::kSnap, "*2"},
                          {4, CPresetListComponent::kSnap, "*4"},          {1, CPresetListComponent::kSnap, "  "},
                          {2, CPresetListComponent::kAuthor, "Cid"},       {3, CPresetListComponent::kName, "Bass Sub"}};
    for (const Cell& c : cells)
        EXPECT_EQ(presetListCellText(records[c.record], c.column, snapshots.data()), c.text) << c.record << "/" << c.column;

    // The view: the browser's mask, then the header clicked twice on "Author".
    EXPECT_EQ(list.getTable().getHeader().getColumnName(CPresetListComponent::kSnap), "Snap");
    EXPECT_EQ(list.getTable().getHeader().getColumnWidth(CPresetListComponent::kName), 235);
    list.setTypeMask(0x004);
    list.rebuildRows();
    EXPECT_EQ(listedKeys(), (std::vector<int64_t>{2, 4}));
    list.setTypeMask(0xFFF);
    list.getTable().getHeader().setSortColumnId(CPresetListComponent::kAuthor, true);
    deliverMessages();
    EXPECT_EQ(list.getSortColumn(), 3);
    EXPECT_EQ(listedKeys(), (std::vector<int64_t>{5, 1, 4, 3, 2}));
    list.getTable().getHeader().setSortColumnId(CPresetListComponent::kAuthor, false);
    deliverMessages();
    EXPECT_EQ(list.getSortColumn(), -3);
    EXPECT_EQ(listedKeys(), (std::vector<int64_t>{2, 3, 1, 4, 5}));
}

TEST_F(PresetListTest, TheCurrentPresetsRowStaysMarkedWhateverTheTablesSelection) {
    // The browser shows its current preset: its row is selected, and the list asks nothing back.
    list.showCurrentRecord(&records[2]);
    EXPECT_EQ(list.getTable().getSelectedRow(), rowOf(3));
    EXPECT_TRUE(selector.selected.empty());
    // Selecting the current preset's row again does nothing; another row selects its preset.
    list.getTable().selectRow(rowOf(3));
    EXPECT_TRUE(selector.selected.empty());
    list.getTable().selectRow(rowOf(1));
    ASSERT_EQ(selector.selected.size(), 1u);
    EXPECT_EQ(selector.selected[0], &records[0]);
    EXPECT_EQ(list.getCurrentRecord(), &records[0]);
    list.getTable().selectRow(rowOf(1));
    EXPECT_EQ(selector.selected.size(), 1u);

    // Sorting moves the current preset away from the table's selected row: the marking follows the preset.
    list.showCurrentRecord(&records[2]);
    const int selectedBefore = list.getTable().getSelectedRow();
    list.sortOrderChanged(CPresetListComponent::kAuthor, true);
    const int current = rowOf(3);
    ASSERT_NE(current, selectedBefore);
    EXPECT_EQ(list.getTable().getSelectedRow(), selectedBefore);
    EXPECT_EQ(selector.selected.size(), 1u);

    const juce::Image picture = snapshotOf(list);
    const juce::Colour inverted = list.getLookAndFeel().findColour(juce::ListBox::textColourId);
    const juce::Colour ground = list.getLookAndFeel().findColour(juce::ListBox::backgroundColourId);
    const auto rowPixel = [&](int row) {
        const juce::Rectangle<int> r = list.getTable().getRowPosition(row, true);
        return picture.getPixelAt(490, r.getCentreY());
    };
    EXPECT_EQ(rowPixel(current), inverted);
    EXPECT_EQ(rowPixel(selectedBefore), ground);
    EXPECT_TRUE(keepSnapshot(picture, "presetmap-list.png"));
}

juce::MouseEvent mouseAt(juce::Component& c, juce::Point<float> at, juce::Point<float> down, bool left = true) {
    const juce::Time now = juce::Time::getCurrentTime();
    return juce::MouseEvent(juce::Desktop::getInstance().getMainMouseSource(), at,
                            left ? juce::ModifierKeys(juce::ModifierKeys::leftButtonModifier) : juce::ModifierKeys(),
                            juce::MouseInputSource::defaultPressure, 0.0f, 0.0f, 0.0f, 0.0f, &c, &c, now, down, now, 1,
                            at != down);
}

// A viewed component that remembers the finest scale it was ever painted at.
class ScaleRecorder : public juce::Component {
public:
    explicit ScaleRecorder(int side) { setSize(side, side); }
    void paint(juce::Graphics& g) override {
        largestScale = std::max(largestScale, g.getInternalContext().getPhysicalPixelScaleFactor());
        g.fillAll(juce::Colours::darkgreen);
    }
    float largestScale = 0.0f;
};

TEST(ViewportNavigator, TheRectangleFollowsTheViewportAndADragStaysInside) {
    struct Area {
        juce::Rectangle<int> visible;
        int side;
        juce::Rectangle<float> expected;
    };
    for (const Area& a : {Area{{0, 0, 512, 512}, 1024, {0.0f, 0.0f, 0.5f, 0.5f}},
                          Area{{0, 0, 512, 512}, 512, {0.0f, 0.0f, 1.0f, 1.0f}},
                          Area{{256, 128, 512, 512}, 2048, {0.125f, 0.0625f, 0.25f, 0.25f}},
                          Area{{0, 0, 512, 512}, 0, {}}})
        EXPECT_EQ(navigatorViewRectangle(a.visible, a.side, a.side), a.expected) << a.side;

    struct Drag {
        const char* what;
        juce::Rectangle<float> rectangle;
        float dx, dy;
        int side;
        juce::Point<int> expected;
    };
    const Drag drags[] = {
        {"whole component stays put", {0.0f, 0.0f, 1.0f, 1.0f}, 50, 30, 512, {0, 0}},
        {"far right stops on the right edge", {0.0f, 0.25f, 0.5f, 0.5f}, 1000, 0, 1024, {512, 256}},
        {"far up left stops in the corner", {0.25f, 0.25f, 0.5f, 0.5f}, -1000, -1000, 1024, {0, 0}},
        {"a quarter and an eighth across", {0.0f, 0.0f, 0.25f, 0.25f}, 32, 16, 2048, {512, 256}},
    };
    for (const Drag& d : drags)
        EXPECT_EQ(navigatorDragPosition(d.rectangle, d.rectangle.getPosition(), d.dx, d.dy, 128, 128, d.side, d.side),
                  d.expected)
            << d.what;

    // The view: a 1024 square in a 512 viewport, seen by a 128 navigator.
    WatchedViewport viewport;
    viewport.setSize(512, 512);
    viewport.setScrollBarsShown(false, false);
    viewport.setViewedComponent(new ScaleRecorder(1024), true);
    ViewportNavigator navigator;
    navigator.setSize(128, 128);
    navigator.setViewport(&viewport);
    // Nothing happens before the layout settles.
    EXPECT_TRUE(navigator.isTimerRunning());
    EXPECT_FALSE(navigator.getThumbnail().isValid());
    navigator.timerCallback();
    EXPECT_FALSE(navigator.isTimerRunning());
    EXPECT_EQ(navigator.getThumbnail().getBounds(), juce::Rectangle<int>(0, 0, 128, 128));
    EXPECT_EQ(navigator.getViewRectangle(), juce::Rectangle<float>(0.0f, 0.0f, 0.5f, 0.5f));
    viewport.setViewPosition(256, 128);
    EXPECT_EQ(navigator.getViewRectangle(), juce::Rectangle<float>(0.25f, 0.125f, 0.5f, 0.5f));
    EXPECT_TRUE(navigator.hitsViewRectangle(32.0f, 80.0f)); // the edges count
    EXPECT_FALSE(navigator.hitsViewRectangle(31.0f, 40.0f));

    // A drag from inside the rectangle scrolls; it stops with the rectangle on the navigator's right edge.
    const juce::Point<float> inside(40.0f, 20.0f);
    navigator.mouseDown(mouseAt(navigator, inside, inside));
    EXPECT_TRUE(navigator.isDragging());
    navigator.mouseDrag(mouseAt(navigator, inside + juce::Point<float>(16.0f, 8.0f), inside));
    EXPECT_EQ(viewport.getViewPosition(), juce::Point<int>(384, 192));
    navigator.mouseDrag(mouseAt(navigator, inside + juce::Point<float>(500.0f, 0.0f), inside));
    EXPECT_EQ(viewport.getViewPosition(), juce::Point<int>(512, 128));
    EXPECT_EQ(navigator.getViewRectangle(), juce::Rectangle<float>(0.5f, 0.125f, 0.5f, 0.5f));
    navigator.mouseUp(mouseAt(navigator, inside, inside));
    EXPECT_FALSE(navigator.isDragging());
    // A press outside the rectangle, or with the right button, drags nothing.
    for (const bool left : {true, false}) {
        const juce::Point<float> at = left ? juce::Point<float>(5.0f, 120.0f) : juce::Point<float>(100.0f, 40.0f);
        navigator.mouseDown(mouseAt(navigator, at, at, left));
        navigator.mouseDrag(mouseAt(navigator, at - juce::Point<float>(60.0f, 60.0f), at, left));
        navigator.mouseUp(mouseAt(navigator, at, at, left));
        EXPECT_EQ(viewport.getViewPosition(), juce::Point<int>(512, 128)) << left;
    }
}

TEST(ViewportNavigator, AZoomedMapsThumbnailIsDrawnSmallAndEitherMayGoFirst) {
    // The map at zoom 5: its thumbnail is drawn at about the navigator's scale, never at full size.
    auto viewport = std::make_unique<WatchedViewport>();
    viewport->setSize(512, 512);
    viewport->setScrollBarsShown(false, false);
    auto* map = new ScaleRecorder(5120);
    viewport->setViewedComponent(map, true);
    auto navigator = std::make_unique<ViewportNavigator>();
    navigator->setSize(128, 128);
    navigator->setViewport(viewport.get());
    navigator->timerCallback();
    EXPECT_EQ(navigator->getThumbnail().getWidth(), 128);
    EXPECT_GT(map->largestScale, 0.0f);
    EXPECT_LE(map->largestScale, 128.0f / 5120.0f + 1e-4f);
    // Once built, the thumbnail stays, also through a resize of the map.
    const juce::Image first = navigator->getThumbnail();
    map->setSize(1024, 1024);
    EXPECT_EQ(navigator->getThumbnail().getPixelData(), first.getPixelData());
    EXPECT_EQ(navigator->getViewRectangle(), juce::Rectangle<float>(0.0f, 0.0f, 0.5f, 0.5f));

    // The viewport goes first, deleting the map: the navigator carries on without either.
    viewport.reset();
    navigator->resized();
    navigator->timerCallback();
    const juce::Point<float> inside(10.0f, 10.0f);
    navigator->mouseDown(mouseAt(*navigator, inside, inside));
    navigator->mouseDrag(mouseAt(*navigator, inside + juce::Point<float>(20.0f, 0.0f), inside));
    EXPECT_FALSE(snapshotOf(*navigator).isNull());
    navigator.reset();

    // The navigator goes first: the viewport and a new viewed component no longer reach it.
    viewport = std::make_unique<WatchedViewport>();
    viewport->setSize(512, 512);
    viewport->setScrollBarsShown(false, false);
    viewport->setViewedComponent(new ScaleRecorder(1024), true);
    navigator = std::make_unique<ViewportNavigator>();
    navigator->setSize(128, 128);
    navigator->setViewport(viewport.get());
    viewport->setViewedComponent(new ScaleRecorder(2048), true);
    navigator->timerCallback();
    EXPECT_EQ(navigator->getViewRectangle(), juce::Rectangle<float>(0.0f, 0.0f, 0.25f, 0.25f));
    navigator.reset();
    viewport->setViewPosition(100, 100);
    viewport->getViewedComponent()->setSize(4096, 4096);
    viewport->setViewedComponent(new ScaleRecorder(1024), true);
}

TEST(MapNavigator, MarksTheCurrentPresetOnTheThumbnailOfTheMap) {
    CMapNavigator navigator;
    navigator.setSize(200, 200);
    EXPECT_FALSE(navigator.getMarker().isVisible());
    const PresetMapRecord centre = makeRecord(7, "Centre", 3, "", 512.0f, 512.0f);
    navigator.showMarker(&centre);
    EXPECT_TRUE(navigator.getMarker().isVisible());
    EXPECT_EQ(navigator.getMarker().getBounds(), juce::Rectangle<int>(100, 100, 9, 9));
    EXPECT_EQ(navigator.getMarker().getEffectiveType(), 3);
    EXPECT_TRUE(navigator.getMarker().getToggleState());
    const PresetMapRecord corner = makeRecord(8, "Corner", 2, "", 1000.0f, 3.0f);
    navigator.showMarker(&corner);
    EXPECT_EQ(navigator.getMarker().getBounds(), juce::Rectangle<int>(195, 0, 9, 9));
    navigator.showMarker(nullptr);
    EXPECT_FALSE(navigator.getMarker().isVisible());

    // A picture: the map of five patches at zoom 2 in the browser's 512 viewport, beside its 128 navigator.
    testing::TempFolder temp;
    testing::FakeSoundmapSupport support{temp.root()};
    PresetMapRecords records;
    const struct {
        int type;
        float x, y;
    } points[] = {{2, 100, 100}, {3, 400, 180}, {11, 700, 300}, {1, 250, 800}, {7, 900, 900}};
    for (const auto& p : points)
        records.push_back(makeRecord(static_cast<int64_t>(records.size() + 1), "Patch", p.type, "", p.x, p.y));
    ASSERT_TRUE(writePresetMapCache(support.getCacheFilePath(), records));
    ScriptedModalCalls modal;
    WatchedViewport viewport("map viewport");
    viewport.setSize(512, 512);
    auto* mapView = new CPresetMapComponent(support, modal);
    viewport.setViewedComponent(mapView, true);
    mapView->setZoom(2.0f);
    CMapNavigator overview;
    overview.setSize(128, 128);
    overview.setViewport(&viewport);
    overview.timerCallback();
    viewport.setViewPosition(600, 300);
    overview.showMarker(&mapView->getRecords()[1]);
    EXPECT_TRUE(keepSnapshot(snapshotOf(overview), "presetmap-navigator.png"));
}

TEST(MorpherView, ComparesEveryPairOfFilledMemories) {
    const PresetMapRecord n = makeRecord(1, "N", 0, "", 0.0f, 0.0f);
    const PresetMapRecord e = makeRecord(2, "E", 0, "", 3.0f, 4.0f);
    const PresetMapRecord s = makeRecord(3, "S", 0, "", 6.0f, 8.0f);
    const PresetMapRecord w = makeRecord(4, "W", 0, "", 0.0f, 0.5f);
    const std::string heading = "\n\n\nCouple, Dist. carte\n";
    struct Case {
        const char* what;
        std::array<const PresetMapRecord*, 4> slots;
        std::string lines;
    };
    const Case cases[] = {
        {"nothing stored", {}, ""},
        {"one memory", {nullptr, nullptr, nullptr, &w}, ""},
        {"memories #1 and #2", {&n, nullptr, nullptr, &w}, "North-West, 0.5\n"},
        {"all four",
         {&n, &e, &s, &w},
         "North-East, 5\nNorth-South, 10\nNorth-West, 0.5\nEast-South, 5\nEast-West, 4.60977\nSouth-West, 9.60469\n"},
    };
    for (const Case& c : cases) EXPECT_EQ(snapshotDistanceReport(c.slots), heading + c.lines) << c.what;
}

// Three patches whose every map value is 0.2, 0.8 and 0.5.
class MorpherViewTest : public ::testing::Test {
protected:
    MorpherViewTest() {
        for (const auto& [key, value] : {std::pair{1, 0.2f}, std::pair{2, 0.8f}, std::pair{3, 0.5f}})
            support.add(key, "Patch " + std::to_string(key), 0,
                        std::vector<float>(support.indices.size(), value));
        morpher.addActionListener(&log);
    }
    ~MorpherViewTest() override { morpher.removeActionListener(&log); }
    // The browser stores the preset it has loaded.
    void store(const PresetMapRecord& record, int slot) {
        support.loadPreset(record.key);
        morpher.setSnapshot(&record, slot);
    }
    float firstValue() { return support.instrument.at(support.indices.front()); }

    static constexpr int kNorth = 0, kEast = 1, kSouth = 2, kWest = 3;
    testing::TempFolder temp;
    testing::FakeSoundmapSupport support{temp.root()};
    const PresetMapRecords records{makeRecord(1, "Glass Pad", 1, "", 100.0f, 100.0f),
                                   makeRecord(2, "Deep Bass", 2, "", 400.0f, 140.0f),
                                   makeRecord(3, "Hot Lead", 3, "", 100.0f, 500.0f)};
    CMorpherComponent morpher{support};
    MessageLog log;
};

TEST_F(MorpherViewTest, StoredMemoriesShowAtTheirCompassPointsAndMorphTowardTheirOwnValues) {
    EXPECT_EQ(morpher.getWidth(), 512);
    for (int slot = 0; slot < 4; ++slot) {
        EXPECT_EQ(morpher.getLabel(slot).getText(), "<no preset loaded>");
        EXPECT_FALSE(morpher.getButton(slot).isVisible());
    }
    // Memories #1 (West) and #2 (North).
    store(records[0], kWest);
    store(records[1], kNorth);
    EXPECT_TRUE(morpher.getButton(kWest).isVisible());
    EXPECT_TRUE(morpher.getButton(kNorth).isVisible());
    EXPECT_FALSE(morpher.getButton(kEast).isVisible());
    EXPECT_FALSE(morpher.getButton(kSouth).isVisible());
    EXPECT_EQ(morpher.getLabel(kWest).getText(), "Glass Pad");
    EXPECT_EQ(morpher.getButton(kWest).getName(), "Preset Map btn1");
    EXPECT_EQ(morpher.getButton(kNorth).getEffectiveType(), 2);

    // The slot keeps its own copy: a later change of the support's block does not reach it.
    support.setParameterValue(support.indices.front(), nullptr, 0.95f);
    EXPECT_FLOAT_EQ(morpher.getMorph().getSnapshotData(kNorth).values[0], 0.8f);

    // From the centre toward the West button, every value moves toward memory #1's.
    morpher.mouseDown(mouseAt(morpher, {256.0f, 256.0f}, {256.0f, 256.0f}));
    EXPECT_NEAR(firstValue(), 0.5f, 1e-5f); // equally far from both
    morpher.mouseDrag(mouseAt(morpher, {100.0f, 256.0f}, {256.0f, 256.0f}));
    const float nearer = firstValue();
    EXPECT_LT(nearer, 0.5f);
    morpher.mouseDrag(mouseAt(morpher, {32.0f, 256.0f}, {256.0f, 256.0f}));
    EXPECT_LT(firstValue(), nearer);
    EXPECT_NEAR(firstValue(), 0.2f, 1e-5f);
    morpher.mouseUp(mouseAt(morpher, {32.0f, 256.0f}, {256.0f, 256.0f}));
    EXPECT_TRUE(morpher.getMorph().showsLastPath());

    // Storing into a filled memory replaces its name, shape and values.
    store(records[2], kWest);
    EXPECT_EQ(morpher.getLabel(kWest).getText(), "Hot Lead");
    EXPECT_EQ(morpher.getButton(kWest).getEffectiveType(), 3);
    EXPECT_FLOAT_EQ(morpher.getMorph().getSnapshotData(kWest).values[0], 0.5f);

    // A click on a memory's button asks the browser to load it.
    morpher.getButton(kWest).triggerClick();
    morpher.getButton(kNorth).triggerClick();
    deliverMessages();
    EXPECT_EQ(log.messages, juce::StringArray("FW", "FN"));
}

TEST_F(MorpherViewTest, KeepsItsLayoutOnResizeAndCopiesTheComparisonToTheClipboard) {
    store(records[0], kWest);
    store(records[1], kNorth);
    const auto layout = [this] {
        std::vector<juce::Rectangle<int>> bounds;
        for (int slot = 0; slot < 4; ++slot) {
            bounds.push_back(morpher.getLabel(slot).getBounds());
            bounds.push_back(morpher.getButton(slot).getBounds());
            const MorphPoint p = morpher.getMorph().getPosition(slot);
            bounds.emplace_back(static_cast<int>(p.x), static_cast<int>(p.y), 0, 0);
        }
        return bounds;
    };
    const std::vector<juce::Rectangle<int>> before = layout();
    EXPECT_EQ(before[0], juce::Rectangle<int>(272, 72, 104, 16));
    EXPECT_EQ(before[10], juce::Rectangle<int>(34, 240, 32, 32));
    EXPECT_EQ(before[11], juce::Rectangle<int>(32, 256, 0, 0));
    morpher.setSize(800, 300);
    EXPECT_EQ(layout(), before);
    morpher.setSize(512, 512);

    morpher.copySnapshotDistancesToClipboard();
    const float dx = 100.0f - 400.0f;
    const float dy = 100.0f - 140.0f;
    std::ostringstream distance;
    distance << std::sqrt(dx * dx + dy * dy);
    EXPECT_EQ(juce::SystemClipboard::getTextFromClipboard(),
              juce::String("\n\n\nCouple, Dist. carte\nNorth-West, ") + distance.str() + "\n");

    morpher.mouseDown(mouseAt(morpher, {256.0f, 256.0f}, {256.0f, 256.0f}));
    morpher.mouseDrag(mouseAt(morpher, {120.0f, 200.0f}, {256.0f, 256.0f}));
    morpher.mouseUp(mouseAt(morpher, {120.0f, 200.0f}, {256.0f, 256.0f}));
    EXPECT_TRUE(keepSnapshot(snapshotOf(morpher), "presetmap-morpher.png"));
}
} // namespace
} // namespace corvex
