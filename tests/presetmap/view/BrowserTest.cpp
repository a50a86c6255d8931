// The browser window: its history, snapshot memories and zoom as plain classes, the browser over a fake
// support (messages, morpher gating, tools, the "Generation settings" dialog), and the toolbar's handler over
// the real instrument and library: opened, hidden and shown, rebuilt, reopened on the new map, and deleted.
#include <memory>

#include <gtest/gtest.h>

#include "presetmap/PresetMapBuilder.h"
#include "presetmap/PresetMapCache.h"
#include "presetmap/view/BrowserHistory.h"
#include "presetmap/view/BrowserSnapshots.h"
#include "presetmap/view/CPresetBrowser.h"
#include "presetmap/view/CPresetBrowserWindow.h"
#include "presetmap/view/CorvanOpenMapActionHandler.h"
#include "presetmap/view/MapBuilderSettings.h"
#include "presetmap/view/MapZoom.h"
#include "tests/editor/ScriptedModalCalls.h"
#include "tests/presetmap/FakeSoundmapSupport.h"
#include "tests/presetmap/InstrumentLibrary.h"
#include "tests/presets/PresetTestSupport.h"
#include "tests/support/Snapshots.h"

namespace corvex {
namespace {

void deliverMessages() { juce::MessageManager::getInstance()->runDispatchLoopUntil(20); }

TEST(BrowserHistory, WalksBackAndForwardAndForgetsWhatLayAheadOnANewSelection) {
    const PresetMapRecord r[4]{};
    const PresetMapRecord* const a = &r[0];
    const PresetMapRecord* const b = &r[1];
    const PresetMapRecord* const c = &r[2];
    const PresetMapRecord* const d = &r[3];
    // Each step: 's' selects, '<' goes back, '>' forward; then the current record and both buttons.
    struct Step {
        char action;
        const PresetMapRecord* record;
        const PresetMapRecord* current;
        bool back, forward;
    };
    const Step steps[] = {
        {'<', nullptr, nullptr, false, false}, // nothing to go back to
        {'s', a, a, false, false},
        {'s', a, a, false, false}, // the current one again: nothing
        {'s', b, b, true, false},
        {'s', c, c, true, false},
        {'<', nullptr, b, true, true},
        {'<', nullptr, a, false, true},
        {'<', nullptr, a, false, true}, // the start: nothing
        {'>', nullptr, b, true, true},
        {'s', d, d, true, false}, // c is forgotten
        {'>', nullptr, d, true, false},
        {'<', nullptr, b, true, true},
        {'<', nullptr, a, false, true},
    };
    BrowserHistory history;
    int n = 0;
    for (const Step& s : steps) {
        if (s.action == 's') history.select(s.record);
        else if (s.action == '<') history.back();
        else history.forward();
        EXPECT_EQ(history.current(), s.current) << "step " << n;
        EXPECT_EQ(history.canGoBack(), s.back) << "step " << n;
        EXPECT_EQ(history.canGoForward(), s.forward) << "step " << n;
        ++n;
    }
}

TEST(BrowserSnapshots, ReadTheirMessagesAndStoreOnlyACurrentPatch) {
    struct Case {
        const char* message;
        int slot; // -1: not a memory message
        bool store;
    };
    const Case cases[] = {{"FN", 0, false}, {"FE", 1, false}, {"FS", 2, false}, {"FW", 3, false}, {"fn", 0, true},
                          {"fe", 1, true},  {"fs", 2, true},  {"fw", 3, true},  {"Fw", -1, false}, {"F", -1, false},
                          {"ZI", -1, false}, {"", -1, false}};
    for (const Case& c : cases) {
        const auto request = BrowserSnapshots::parse(c.message);
        ASSERT_EQ(request.has_value(), c.slot >= 0) << c.message;
        if (!request) continue;
        EXPECT_EQ(request->slot, c.slot) << c.message;
        EXPECT_EQ(request->store, c.store) << c.message;
        EXPECT_STREQ(BrowserSnapshots::recallMessage(c.slot), juce::String(c.message).toUpperCase().toRawUTF8());
    }

    const PresetMapRecord a, b;
    BrowserSnapshots memories;
    EXPECT_FALSE(memories.store(1, nullptr));
    EXPECT_EQ(memories.count(), 0);
    EXPECT_TRUE(memories.store(1, &a));
    EXPECT_TRUE(memories.store(3, &b));
    EXPECT_TRUE(memories.store(1, &b)); // overwritten, never emptied
    EXPECT_EQ(memories.count(), 2);
    EXPECT_EQ(memories.get(1), &b);
    EXPECT_EQ(memories.get(0), nullptr);
}

TEST(MapZoom, KeysStayWithinTheSliderAndTheViewKeepsItsCentre) {
    struct KeyCase {
        const char* message;
        double before;
        double after; // 0: not a zoom key
    };
    for (const KeyCase& c : {KeyCase{"ZI", 1.0, 2.0}, KeyCase{"ZI", 4.5, 5.0}, KeyCase{"ZO", 3.0, 2.0},
                             KeyCase{"ZO", 1.2, 0.5}, KeyCase{"ZA", 3.7, 1.0}, KeyCase{"ZF", 3.7, 0.5},
                             KeyCase{"T", 2.0, 0.0}}) {
        const auto zoom = zoomAfterMessage(c.message, c.before);
        if (c.after == 0.0) {
            EXPECT_FALSE(zoom.has_value()) << c.message;
        } else {
            ASSERT_TRUE(zoom.has_value()) << c.message;
            EXPECT_DOUBLE_EQ(*zoom, c.after) << c.message << " from " << c.before;
        }
    }

    struct ViewCase {
        const char* what;
        float from, to;
        juce::Rectangle<int> view;
        juce::Point<int> expected;
    };
    const ViewCase cases[] = {
        {"1 to 2 from the origin", 1.0f, 2.0f, {0, 0, 512, 512}, {256, 256}},
        {"2 back to 1", 2.0f, 1.0f, {256, 256, 512, 512}, {0, 0}},
        {"1 to 2 at the far corner stops at the edge", 1.0f, 2.0f, {512, 512, 512, 512}, {1280, 1280}},
        {"4 to 5 in the middle", 4.0f, 5.0f, {1792, 1792, 512, 512}, {2304, 2304}},
        {"whole map in the view", 3.0f, 0.5f, {1000, 2000, 512, 512}, {0, 0}},
        {"one axis only", 1.0f, 2.0f, {0, 512, 512, 512}, {256, 1280}},
    };
    for (const ViewCase& c : cases) EXPECT_EQ(viewPositionAfterZoom(c.from, c.to, c.view), c.expected) << c.what;
}

// Keeps the process's map weights as a test found them.
struct WeightsKept {
    MapWeights saved = mapWeights();
    ~WeightsKept() { mapWeights() = saved; }
};

TEST(GenerationSettings, OnlyOkKeepsTheWeights) {
    WeightsKept kept;
    MapBuilderSettings settings;
    EXPECT_EQ(settings.getBounds(), juce::Rectangle<int>(0, 0, 500, 220));
    settings.setWeight("Par", 3.5f);
    settings.setWeight("Nope", 9.0f);
    EXPECT_FLOAT_EQ(settings.getWeight("Par"), 3.5f);
    EXPECT_FLOAT_EQ(settings.getWeight("Nope"), 0.0f);
    EXPECT_EQ(settings.getSlider(2).getName(), "slider params");
    settings.setWeight("Inst", 12.0f); // beyond the sliders' range
    EXPECT_FLOAT_EQ(settings.getWeight("Inst"), 10.0f);

    MapWeights weights;
    ScriptedModalCalls modal;
    // The sliders start from the weights; the close button leaves them alone.
    modal.answerDialog([](MVModalDialogPanel& panel) {
        auto& dialog = dynamic_cast<MapBuilderSettings&>(panel);
        EXPECT_FLOAT_EQ(dialog.getWeight("Att"), 10.0f);
        EXPECT_FLOAT_EQ(dialog.getWeight("Matx"), 2.0f);
        dialog.setWeight("Inst", 4.0f);
        panel.dialogWindow->closeButtonPressed();
    });
    EXPECT_FALSE(MapBuilderSettings::editWeights(modal, weights));
    EXPECT_FLOAT_EQ(weights.instrument, 1.0f);
    modal.answerDialog([](MVModalDialogPanel& panel) {
        auto& dialog = dynamic_cast<MapBuilderSettings&>(panel);
        dialog.setWeight("Inst", 4.0f);
        dialog.setWeight("Att", 0.25f);
        dialog.getOkButton().triggerClick();
        deliverMessages();
        if (keepSnapshot(snapshotOf(panel), "presetmap-generation-settings.png")) return;
        ADD_FAILURE() << "snapshot";
    });
    EXPECT_TRUE(MapBuilderSettings::editWeights(modal, weights));
    EXPECT_TRUE(modal.dialogs.back().ended);
    EXPECT_EQ(modal.dialogs.back().title, "Generation settings");
    EXPECT_FLOAT_EQ(weights.instrument, 4.0f);
    EXPECT_FLOAT_EQ(weights.attributes, 0.25f);
    EXPECT_FLOAT_EQ(weights.parameters, 7.0f);
}

class BrowserTest : public ::testing::Test {
protected:
    void SetUp() override {
        PresetMapRecords records;
        const float places[][2] = {{100, 100}, {300, 120}, {200, 400}, {800, 700}, {600, 300}};
        for (int n = 0; n < 5; ++n) {
            const int64_t key = n + 1;
            const int16_t type = static_cast<int16_t>(n * 2 + 1);
            const std::string name = "Patch " + std::to_string(key);
            support.add(key, name, type, std::vector<float>(support.indices.size(), 0.2f * static_cast<float>(n)));
            PresetMapRecord r;
            r.key = key;
            r.type = type;
            r.x = places[n][0];
            r.y = places[n][1];
            r.setName(name);
            records.push_back(r);
        }
        ASSERT_TRUE(writePresetMapCache(support.getCacheFilePath(), records));
        browser = std::make_unique<CPresetBrowser>(support, modal);
    }
    const PresetMapRecord* record(int64_t key) const {
        for (const PresetMapRecord& r : browser->getMap().getRecords())
            if (r.key == key) return &r;
        return nullptr;
    }
    void send(const char* message) { browser->actionListenerCallback(message); }

    testing::TempFolder temp;
    testing::FakeSoundmapSupport support{temp.root()};
    ScriptedModalCalls modal;
    std::unique_ptr<CPresetBrowser> browser;
};

TEST_F(BrowserTest, SelectionsLoadTheirPatchAndTheArrowsWalkTheHistory) {
    EXPECT_EQ(browser->getView(), CPresetBrowser::View::map);
    browser->setCurrentRecord(record(1));
    browser->setCurrentRecord(record(2));
    browser->setCurrentRecord(record(2));
    browser->setCurrentRecord(nullptr);
    EXPECT_EQ(browser->getCurrentRecord(), record(2));
    EXPECT_EQ(support.loads, (std::vector<int64_t>{1, 2}));
    EXPECT_EQ(support.selections, 2);
    CPresetBrowserBar& bar = browser->getBar();
    EXPECT_EQ(bar.getPresetName(), "Patch 2");
    EXPECT_EQ(browser->getList().getCurrentRecord(), record(2));
    // The navigator is an eighth of the map: the marker sits at an eighth of the patch's place.
    EXPECT_TRUE(browser->getNavigator().getMarker().isVisible());
    EXPECT_EQ(browser->getNavigator().getMarker().getPosition(), juce::Point<int>(300 / 8, 120 / 8));
    EXPECT_TRUE(bar.getKey(CPresetBrowserBar::kPrevious).isEnabled());
    EXPECT_FALSE(bar.getKey(CPresetBrowserBar::kNext).isEnabled());
    // The bar's key goes through its message.
    bar.getKey(CPresetBrowserBar::kPrevious).triggerClick();
    deliverMessages();
    EXPECT_EQ(browser->getCurrentRecord(), record(1));
    EXPECT_EQ(bar.getPresetName(), "Patch 1");
    EXPECT_FALSE(bar.getKey(CPresetBrowserBar::kPrevious).isEnabled());
    EXPECT_TRUE(bar.getKey(CPresetBrowserBar::kNext).isEnabled());
    browser->setCurrentRecord(record(3));
    EXPECT_FALSE(bar.getKey(CPresetBrowserBar::kNext).isEnabled());
    send(">"); // nothing ahead
    EXPECT_EQ(browser->getCurrentRecord(), record(3));
    EXPECT_EQ(support.loads, (std::vector<int64_t>{1, 2, 1, 3}));

    // A click on a point, or on a row of the list, is a selection with history.
    browser->getMap().getPoint(4)->triggerClick();
    deliverMessages();
    EXPECT_EQ(browser->getCurrentRecord(), record(5));
    EXPECT_EQ(support.loads.back(), 5);
    EXPECT_EQ(browser->getList().getCurrentRecord(), record(5));
    CPresetListComponent& list = browser->getList();
    ASSERT_EQ(list.getRowRecord(3), record(4));
    list.selectedRowsChanged(3);
    EXPECT_EQ(browser->getCurrentRecord(), record(4));
    EXPECT_EQ(support.loads.back(), 4);
    EXPECT_EQ(list.getTable().getSelectedRow(), 3);
    send("<");
    EXPECT_EQ(browser->getCurrentRecord(), record(5));
    EXPECT_EQ(list.getTable().getSelectedRow(), 4);
}

TEST_F(BrowserTest, MemoriesStoreAndRecallAndTheMorpherWantsTwo) {
    send("FE"); // nothing current: nothing stored
    EXPECT_EQ(browser->getSnapshots().count(), 0);
    browser->setCurrentRecord(record(1));
    EXPECT_FALSE(browser->getBar().getKey(CPresetBrowserBar::kRecallE).isVisible());
    send("FE"); // empty: stores
    EXPECT_EQ(browser->getSnapshots().get(1), record(1));
    EXPECT_TRUE(browser->getBar().getKey(CPresetBrowserBar::kRecallE).isVisible());
    EXPECT_FALSE(browser->getBar().getKey(CPresetBrowserBar::kRecallW).isVisible());
    EXPECT_TRUE(browser->getMap().getPoint(0)->getToggleState());

    send(CPresetBrowser::kShowMorpherMessage);
    EXPECT_EQ(browser->getView(), CPresetBrowser::View::map);
    ASSERT_EQ(modal.alerts.size(), 1u);
    EXPECT_EQ(modal.alerts[0].title, "Not Enough Snapshots");
    EXPECT_EQ(modal.alerts[0].message,
              "You have to take at least two snapshots before entering the morphing view");

    browser->setCurrentRecord(record(2));
    send("fe"); // stores over memory 1
    EXPECT_EQ(browser->getSnapshots().get(1), record(2));
    send("FW");
    send("FE"); // filled: recalls without touching the history
    EXPECT_EQ(browser->getCurrentRecord(), record(2));
    browser->setCurrentRecord(record(4));
    support.loads.clear();
    send("FW");
    EXPECT_EQ(support.loads, (std::vector<int64_t>{2}));
    EXPECT_EQ(browser->getCurrentRecord(), record(2));
    EXPECT_EQ(browser->getSnapshots().count(), 2);

    send(CPresetBrowser::kShowMorpherMessage);
    EXPECT_EQ(browser->getView(), CPresetBrowser::View::morpher);
    EXPECT_FALSE(browser->getMapViewport().isVisible());
    // The morpher holds both memories and recalls through the browser.
    CMorpherComponent& morpher = browser->getMorpher();
    EXPECT_EQ(morpher.getMorph().countSnapshots(), 2);
    EXPECT_EQ(morpher.getLabel(1).getText(), "Patch 2");
    EXPECT_FALSE(morpher.getButton(0).isVisible());
    browser->setCurrentRecord(record(5));
    morpher.getButton(3).triggerClick();
    deliverMessages();
    EXPECT_EQ(browser->getCurrentRecord(), record(2));
    modal.answerMenu(CPresetBrowser::kCompare);
    send("T");
    EXPECT_TRUE(juce::SystemClipboard::getTextFromClipboard().contains("East-West, "));
    send(CPresetBrowser::kShowListMessage);
    EXPECT_EQ(browser->getView(), CPresetBrowser::View::list);
    send(CPresetBrowser::kShowMapMessage);
    EXPECT_EQ(browser->getView(), CPresetBrowser::View::map);
    EXPECT_EQ(modal.alerts.size(), 1u);
}

TEST_F(BrowserTest, ZoomKeysMoveTheSliderAndTheMapAroundTheViewsCentre) {
    juce::Viewport& viewport = browser->getMapViewport();
    EXPECT_EQ(viewport.getViewArea(), juce::Rectangle<int>(0, 0, 512, 512));
    send("ZI");
    EXPECT_DOUBLE_EQ(browser->getZoomSlider().getValue(), 2.0);
    EXPECT_EQ(browser->getMap().getWidth(), 2048);
    EXPECT_EQ(viewport.getViewPosition(), juce::Point<int>(256, 256));
    // The navigator's rectangle follows: the middle quarter of the map.
    EXPECT_EQ(browser->getNavigator().getViewRectangle(), juce::Rectangle<float>(0.125f, 0.125f, 0.25f, 0.25f));
    browser->getZoomSlider().setValue(4.5, juce::sendNotificationSync);
    send("ZI");
    EXPECT_DOUBLE_EQ(browser->getZoomSlider().getValue(), 5.0);
    send("ZF");
    EXPECT_EQ(browser->getMap().getWidth(), 512);
    EXPECT_EQ(viewport.getViewArea(), juce::Rectangle<int>(0, 0, 512, 512));
    send("ZA");
    EXPECT_FLOAT_EQ(browser->getMap().getZoom(), 1.0f);

    // The selector's types reach the map.
    browser->getInstrumentSelector().buttonClicked(&browser->getInstrumentSelector().getNoneButton());
    deliverMessages();
    EXPECT_FALSE(browser->getMap().getPoint(0)->isVisible());
    EXPECT_EQ(browser->getList().getNumRows(), 0);
}

TEST_F(BrowserTest, ToolsCompareOrRebuildWithTheSettingsAndThenClose) {
    WeightsKept kept;
    modal.answerMenu(CPresetBrowser::kCompare);
    send("T");
    ASSERT_EQ(modal.alerts.size(), 1u);
    EXPECT_EQ(modal.alerts[0].message, "You have to take at least two snapshots before comparing presets");

    // The settings dialog dismissed: no rebuild.
    modal.answerMenu(CPresetBrowser::kMds);
    modal.answerDialog([](MVModalDialogPanel& panel) { panel.dialogWindow->closeButtonPressed(); });
    send("T");
    EXPECT_TRUE(support.loads.empty());
    EXPECT_EQ(support.closes, 0);

    // "OK": every patch analysed with the new weights, the cache written, the browser closed.
    support.cacheFile().deleteFile();
    modal.answerMenu(CPresetBrowser::kMds);
    modal.answerDialog([](MVModalDialogPanel& panel) {
        auto& dialog = dynamic_cast<MapBuilderSettings&>(panel);
        dialog.setWeight("Par", 0.0f);
        dialog.buttonClicked(&dialog.getOkButton());
    });
    send("T");
    EXPECT_FLOAT_EQ(mapWeights().parameters, 0.0f);
    EXPECT_EQ(support.loads.size(), 5u);
    EXPECT_EQ(support.closes, 1);
    PresetMapRecords rebuilt;
    EXPECT_EQ(readPresetMapCache(support.getCacheFilePath(), rebuilt), PresetCacheRead::kRead);
    EXPECT_EQ(rebuilt.size(), 5u);
    EXPECT_FALSE(support.backgroundFile().existsAsFile());

    // The background alone, from the cache.
    modal.answerMenu(CPresetBrowser::kBuildBackground);
    send("T");
    EXPECT_TRUE(support.backgroundFile().existsAsFile());
    EXPECT_EQ(support.closes, 1);
}

class OpenMapTest : public ::testing::Test {
protected:
    void click() { handler->toggleBrowser(&library.patches(), library.instrument.get()); }

    testing::InstrumentLibrary library;
    ScriptedModalCalls modal;
    std::unique_ptr<CorvanOpenMapActionHandler> handler =
        std::make_unique<CorvanOpenMapActionHandler>(library.folder, &modal);
};

// Notes whether the adapter was still there when the window went.
struct WindowWatch : juce::ComponentListener {
    explicit WindowWatch(CorvanOpenMapActionHandler& h) : handler(h) {}
    void componentBeingDeleted(juce::Component&) override {
        deleted = true;
        adapterAlive = handler.getAdapter() != nullptr;
    }
    CorvanOpenMapActionHandler& handler;
    bool deleted = false;
    bool adapterAlive = false;
};

TEST_F(OpenMapTest, TheButtonOpensHidesAndShowsOneWindowOverOneAdapter) {
    ASSERT_TRUE(PresetMapBuilder(*library.adapter).run());
    handler->toggleBrowser(nullptr, nullptr);
    EXPECT_EQ(handler->getAdapter(), nullptr);
    click();
    CPresetBrowserWindow* window = handler->getWindow();
    CorvanSoundmapAdapter* adapter = handler->getAdapter();
    ASSERT_NE(window, nullptr);
    ASSERT_NE(adapter, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->isOnDesktop());
    EXPECT_EQ(window->getName(), "Soundmap");
    EXPECT_EQ(window->getPosition(), juce::Point<int>(20, 50));
    EXPECT_EQ(window->getContentComponent()->getBounds().getWidth(), 640);
    click();
    EXPECT_FALSE(window->isVisible());
    click();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(handler->getWindow(), window);
    EXPECT_EQ(handler->getAdapter(), adapter);
    // The close button hides only.
    window->closeButtonPressed();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(handler->getWindow(), window);

    // A selection loads the patch through the adapter.
    CPresetBrowser& browser = window->getBrowser();
    const PresetMapRecord& last = browser.getMap().getRecords().back();
    browser.setCurrentRecord(&last);
    EXPECT_EQ(library.patches().getCurrentPreset()->getName().toStdString(), std::string(last.getName()));

    WindowWatch watch(*handler);
    window->addComponentListener(&watch);
    handler.reset();
    EXPECT_TRUE(watch.deleted);
    EXPECT_TRUE(watch.adapterAlive);
}

TEST_F(OpenMapTest, ARebuildClosesTheWindowAndTheNextOpeningShowsTheNewMap) {
    click();
    CPresetBrowser* browser = &handler->getWindow()->getBrowser();
    // No cache yet: an empty map.
    EXPECT_TRUE(browser->getMap().getRecords().empty());

    const juce::Component::SafePointer<CPresetBrowserWindow> first(handler->getWindow());
    modal.answerMenu(1);
    modal.answerOkCancel(true);
    juce::Component& map = browser->getMap();
    map.mouseDown(juce::MouseEvent(juce::Desktop::getInstance().getMainMouseSource(), {10.0f, 10.0f},
                                   juce::ModifierKeys(juce::ModifierKeys::rightButtonModifier), 0.0f, 0.0f, 0.0f,
                                   0.0f, 0.0f, &map, &map, juce::Time::getCurrentTime(), {10.0f, 10.0f},
                                   juce::Time::getCurrentTime(), 1, false));
    // Gone from the handler at once, deleted once the click has been handled.
    EXPECT_EQ(handler->getWindow(), nullptr);
    ASSERT_NE(first.getComponent(), nullptr);
    EXPECT_FALSE(first->isVisible());
    deliverMessages();
    EXPECT_EQ(first.getComponent(), nullptr);

    click();
    ASSERT_NE(handler->getWindow(), nullptr);
    CPresetBrowser& reopened = handler->getWindow()->getBrowser();
    PresetMapRecords cached;
    ASSERT_EQ(readPresetMapCache(library.adapter->getCacheFilePath(), cached), PresetCacheRead::kRead);
    ASSERT_FALSE(cached.empty());
    EXPECT_EQ(reopened.getMap().getRecords(), cached);
    EXPECT_TRUE(reopened.getMap().hasBackground());
    for (size_t n = 0; n < cached.size(); ++n)
        EXPECT_EQ(reopened.getMap().getPoint(n)->getPosition(),
                  juce::Point<int>(static_cast<int>(cached[n].x), static_cast<int>(cached[n].y)));

    // The window in its views, for a person to look at; the navigator's thumbnail without its wait.
    reopened.getNavigator().timerCallback();
    reopened.setCurrentRecord(&reopened.getMap().getRecords()[0]);
    reopened.actionListenerCallback("fw");
    reopened.setCurrentRecord(&reopened.getMap().getRecords()[3]);
    reopened.actionListenerCallback("fn");
    EXPECT_TRUE(keepSnapshot(snapshotOf(reopened), "presetmap-browser-map.png"));
    reopened.actionListenerCallback(CPresetBrowser::kShowListMessage);
    EXPECT_TRUE(keepSnapshot(snapshotOf(reopened), "presetmap-browser-list.png"));
    reopened.actionListenerCallback(CPresetBrowser::kShowMorpherMessage);
    EXPECT_TRUE(keepSnapshot(snapshotOf(reopened), "presetmap-browser-morpher.png"));
}

} // namespace
} // namespace corvex
