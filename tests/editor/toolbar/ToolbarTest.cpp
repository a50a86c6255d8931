// The toolbar on the real preset library: the patch list follows the patch filter manager's messages, the
// search menus set a filter column, the arrows step through the list, Save waits for a user patch, and the
// map and LCD buttons reach whoever handles them; then its three indicators on their own.
#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>

#include "editor/toolbar/CorvanMidiChannelChooser.h"
#include "editor/toolbar/CorvanSearchMenu.h"
#include "editor/toolbar/CorvanToolbar.h"
#include "editor/toolbar/CvnCpuLevel.h"
#include "editor/toolbar/CvnMidiLed.h"
#include "instrument/MorvaneMidiManager.h"
#include "presets/MorvanePreset.h"
#include "widgets/CorvanLookAndFeel.h"
#include "tests/editor/PresetPageTestSupport.h"

namespace corvex {
namespace {

struct SilentOwner : MidiManagerOwner {
    void setParameterFromMidi(int, float) override {}
    void notifyEditorOfMidiParameter(int, float) override {}
    juce::String getParameterName(int) override { return {}; }
};

// A GUI interface with a real MIDI manager behind it.
struct MidiGui : FakeGui {
    SilentOwner owner;
    std::mutex lock;
    MorvaneMidiManager midi{owner, lock};
    MorvaneMidiManager* getMidiManager() override { return &midi; }
};

struct RecordingMapHandler : CorvanMapActionHandler {
    struct Call {
        CorvanMultiFilterManager* patches;
        CorvanAudioFilter* instrument;
    };
    std::vector<Call>* calls;
    bool* destroyed;
    RecordingMapHandler(std::vector<Call>* c, bool* d) : calls(c), destroyed(d) {}
    ~RecordingMapHandler() override { *destroyed = true; }
    void toggleBrowser(CorvanMultiFilterManager* p, CorvanAudioFilter* i) override { calls->push_back({p, i}); }
};

class ToolbarTest : public PageLibrary {
protected:
    ToolbarTest() {
        toolbar = std::make_unique<CorvanToolbar>(
            &midiGui, &patches(), nullptr, calls, std::make_unique<RecordingMapHandler>(&mapCalls, &mapGone),
            [this](bool shown) { lcdRequests.push_back(shown); });
    }

    juce::StringArray comboItems() {
        juce::StringArray items;
        for (int i = 0; i < combo().getNumItems(); ++i) items.add(combo().getItemText(i));
        return items;
    }
    juce::ComboBox& combo() { return toolbar->getPresetCombo(); }
    juce::String current() { return patches().getCurrentPreset()->getName(); }
    void clickChild(CorvanToolbar::Child child) {
        toolbar->getButton(child).triggerClick();
        testing::deliverPostedMessages();
    }
    void select(const juce::String& id) {
        patches().setCurrentPreset(findPatch(id), false);
        testing::deliverPostedMessages();
    }

    MidiGui midiGui;
    std::vector<RecordingMapHandler::Call> mapCalls;
    bool mapGone = false;
    std::vector<bool> lcdRequests;
    std::unique_ptr<CorvanToolbar> toolbar;
};

TEST_F(ToolbarTest, TheListShowsEveryPatchAndChoosingOneLoadsIt) {
    EXPECT_EQ(toolbar->getBounds(), juce::Rectangle<int>(0, 0, 1016, 24));
    juce::StringArray names;
    patches().getPresetDisplayNames(names);
    EXPECT_EQ(comboItems(), names);
    EXPECT_EQ(names.size(), 4);
    EXPECT_EQ(combo().getSelectedItemIndex(), patches().indexOfPreset(patches().getCurrentPreset()));

    const int before = loadsOf("Multi");
    const int gamma = patches().indexOfPreset(findPatch("P3"));
    combo().setSelectedItemIndex(gamma, juce::sendNotificationSync);
    testing::deliverPostedMessages();
    EXPECT_EQ(current(), "Gamma");
    EXPECT_EQ(loadsOf("Multi"), before + 1);

    // Choosing the patch already current loads nothing again.
    combo().setSelectedItemIndex(gamma, juce::sendNotificationSync);
    testing::deliverPostedMessages();
    EXPECT_EQ(loadsOf("Multi"), before + 1);
}

// Which messages rebuild the list: the others leave a stale list alone, and 4 only moves the selection.
TEST_F(ToolbarTest, TheListIsRebuiltOnlyOnTheMessagesThatChangeIt) {
    const struct {
        int id;
        bool rebuilds;
    } cases[] = {{0, true},  {1, true},  {2, true},   {3, false}, {4, false}, {5, true},
                 {6, true},  {7, true},  {8, true},   {9, false}, {10, false}, {11, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        combo().clear(juce::dontSendNotification);
        toolbar->presetFilterChanged(c.id, 2, 0, nullptr);
        EXPECT_EQ(combo().getNumItems() > 0, c.rebuilds);
    }

    toolbar->presetFilterChanged(5, 0, 0, nullptr);
    select("P2");
    EXPECT_EQ(combo().getText(), comboItems()[patches().indexOfPreset(findPatch("P2"))]);
    // A modified patch shows its mark at once.
    patches().setPresetModified(findPatch("P2"), true, true);
    testing::deliverPostedMessages();
    EXPECT_TRUE(combo().getText().endsWith("*")) << combo().getText();
}

TEST_F(ToolbarTest, SearchMenusOfferTheFilterKeysWithUnusedValuesGreyed) {
    const juce::PopupMenu& menu = toolbar->getSearchMenu(1);
    juce::PopupMenu::MenuItemIterator it(menu);
    ASSERT_TRUE(it.next());
    EXPECT_TRUE(it.getItem().isSectionHeader);
    EXPECT_EQ(it.getItem().text, "SEARCH 2");
    ASSERT_TRUE(it.next());
    EXPECT_EQ(it.getItem().itemID, CorvanSearchMenu::kAllId);
    EXPECT_EQ(it.getItem().text, "All");

    // Registry order (ascending); only the keys flagged for filtering, each greyed when no patch uses it.
    juce::StringArray keys;
    std::map<juce::String, const juce::PopupMenu*> subMenus;
    std::map<juce::String, bool> keyEnabled;
    while (it.next()) {
        keys.add(it.getItem().text);
        subMenus[it.getItem().text] = it.getItem().subMenu.get();
        keyEnabled[it.getItem().text] = it.getItem().isEnabled;
    }
    EXPECT_EQ(keys, juce::StringArray({"Characteristics", "Fact_User", "Mode", "Project", "Type"}));
    EXPECT_TRUE(keyEnabled["Mode"]);
    EXPECT_TRUE(keyEnabled["Type"]) << "the patches' programs name types";

    std::map<juce::String, std::pair<int, bool>> modeItems;
    for (juce::PopupMenu::MenuItemIterator sub(*subMenus["Mode"]); sub.next();)
        modeItems[sub.getItem().text] = {sub.getItem().itemID, sub.getItem().isEnabled};
    // Mode is the key at position 3 of the registry's list.
    EXPECT_EQ(modeItems["Whole"], std::make_pair(301, true));
    EXPECT_EQ(modeItems["Dual"], std::make_pair(302, true));
    EXPECT_EQ(modeItems["Split"], std::make_pair(303, true));
    // Types no program uses are greyed.
    std::map<juce::String, bool> types;
    for (juce::PopupMenu::MenuItemIterator sub(*subMenus["Type"]); sub.next();)
        types[sub.getItem().text] = sub.getItem().isEnabled;
    EXPECT_TRUE(types["Bass"]);
    EXPECT_GT(std::count_if(types.begin(), types.end(), [](const auto& t) { return !t.second; }), 0);
    std::map<juce::String, bool> projects;
    for (juce::PopupMenu::MenuItemIterator sub(*subMenus["Project"]); sub.next();)
        projects[sub.getItem().text] = sub.getItem().isEnabled;
    EXPECT_EQ(projects, (std::map<juce::String, bool>{{"Home", true}, {"Live", true}}));
}

TEST_F(ToolbarTest, ASearchChoiceNarrowsTheListAndAllOrDismissingWidensIt) {
    juce::Button& search = toolbar->getButton(CorvanToolbar::kSearch1);
    const struct {
        const char* what;
        int answer;
        const char* text;
        int items;
    } steps[] = {
        {"Mode: Whole", 301, "Whole", 2}, {"All", CorvanSearchMenu::kAllId, "All", 4},
        {"Mode: Dual", 302, "Dual", 1},   {"dismissed", 0, "All", 4},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.what);
        calls.answerMenu(s.answer);
        search.triggerClick();
        testing::deliverPostedMessages();
        EXPECT_EQ(search.getButtonText(), s.text);
        EXPECT_EQ(combo().getNumItems(), s.items);
    }
    // A column set elsewhere (an LCD page) shows on the button too.
    patches().setFilterText(1, "Project");
    patches().setFilterValues(1, juce::StringArray("Home"));
    testing::deliverPostedMessages();
    EXPECT_EQ(toolbar->getButton(CorvanToolbar::kSearch2).getButtonText(), "Home");
    EXPECT_EQ(combo().getNumItems(), 1);
}

TEST_F(ToolbarTest, UpAndDownStepThroughTheListAndStopAtItsEnds) {
    const int last = combo().getNumItems() - 1;
    const struct {
        int from;
        CorvanToolbar::Child button;
        int to;
    } cases[] = {{0, CorvanToolbar::kUp, 0},     {2, CorvanToolbar::kUp, 1},
                 {1, CorvanToolbar::kDown, 2},   {last, CorvanToolbar::kDown, last}};
    for (const auto& c : cases) {
        SCOPED_TRACE(juce::String(c.from) + (c.button == CorvanToolbar::kUp ? " up" : " down"));
        patches().setCurrentPreset(patches().getPreset(c.from), false);
        testing::deliverPostedMessages();
        clickChild(c.button);
        EXPECT_EQ(patches().indexOfPreset(patches().getCurrentPreset()), c.to);
        EXPECT_EQ(combo().getSelectedItemIndex(), c.to);
    }
}

TEST_F(ToolbarTest, SaveIsOfferedOnlyForAUserPatch) {
    select("Default");
    EXPECT_FALSE(toolbar->getButton(CorvanToolbar::kSave).isEnabled());
    select("P1");
    EXPECT_TRUE(toolbar->getButton(CorvanToolbar::kSave).isEnabled());
    select("Default");
    EXPECT_FALSE(toolbar->getButton(CorvanToolbar::kSave).isEnabled());
}

TEST_F(ToolbarTest, TheMapAndLcdButtonsReachTheirHandlers) {
    clickChild(CorvanToolbar::kMap);
    clickChild(CorvanToolbar::kMap);
    ASSERT_EQ(mapCalls.size(), 2u);
    EXPECT_EQ(mapCalls[0].patches, &patches());

    EXPECT_TRUE(toolbar->getButton(CorvanToolbar::kLcdHide).getToggleState()) << "the LCD starts hidden";
    clickChild(CorvanToolbar::kLcdShow);
    clickChild(CorvanToolbar::kLcdHide);
    EXPECT_EQ(lcdRequests, (std::vector<bool>{true, false}));
    EXPECT_FALSE(toolbar->getButton(CorvanToolbar::kLcdShow).getToggleState()) << "the two act as a radio pair";

    toolbar.reset();
    EXPECT_TRUE(mapGone) << "the toolbar takes the map's handler down with it";
}

TEST_F(ToolbarTest, Snapshot) {
    select("P1");
    const juce::Image image = snapshotOf(*toolbar);
    EXPECT_TRUE(keepSnapshot(image, "editor-toolbar.png"));
    // The patch list is dark text on a light box, the reverse of the LCD's own boxes.
    EXPECT_EQ(image.getPixelAt(400, 5), juce::Colour(CorvanLookAndFeel::kLight));
}

// The meter's bar, outline and text for three loads: the bar stops at full while the text says the load.
TEST(CpuMeter, PaintsTheLoadAsABarAndAsText) {
    const struct {
        int load;
        int bar;
        const char* text;
    } cases[] = {{0, 0, "0 %"}, {50, 24, "50 %"}, {150, 48, "150 %"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.load);
        int load = c.load;
        CvnCpuLevel meter([&load] { return load; });
        meter.setSize(50, 20);
        EXPECT_EQ(CvnCpuLevel::barWidth(50, c.load), c.bar);
        EXPECT_EQ(CvnCpuLevel::loadText(c.load), c.text);
        const juce::Image image = snapshotOf(meter);
        const juce::Colour dark(CorvanLookAndFeel::kDark), bar = juce::Colour(CorvanLookAndFeel::kGrey).brighter(0.2f);
        // Sampled on a row free of text, inside the outline.
        const juce::Colour left = image.getPixelAt(8, 4), right = image.getPixelAt(44, 4);
        EXPECT_EQ(left, c.bar > 8 ? bar : dark);
        EXPECT_EQ(right, c.bar > 44 ? bar : dark);
    }
}

// Polling repaints only when the number changed, so an idle meter paints nothing.
TEST(CpuMeter, RepaintsOnlyWhenTheLoadChanged) {
    int load = 3;
    CvnCpuLevel meter([&load] { return load; });
    EXPECT_FALSE(meter.poll());
    load = 4;
    EXPECT_TRUE(meter.poll());
    EXPECT_FALSE(meter.poll());
}

// Each notice lights the LED for 500 ms from then; it goes out at the first tick after, and its timer stops.
TEST(MidiLed, StaysLitWhileMidiArrivesAndGoesOutAfterHalfASecond) {
    MidiGui gui;
    juce::uint32 now = 1000;
    CvnMidiLed led(&gui, [&now] { return now; });
    EXPECT_EQ(led.getWidth(), 10);
    EXPECT_FALSE(led.isLit());
    EXPECT_FALSE(led.isTicking()) << "no timer while nothing happens";

    const struct {
        juce::uint32 at;
        bool activity;
        bool lit;
    } steps[] = {
        {1000, true, true},  {1400, false, true}, {1500, false, true}, {1550, true, true},  // a burst renews it
        {1900, false, true}, {2050, false, true}, {2051, false, false}, {2200, false, false},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(static_cast<int>(s.at));
        now = s.at;
        if (s.activity) led.midiActivity();
        led.tick();
        EXPECT_EQ(led.isLit(), s.lit);
        EXPECT_EQ(led.isTicking(), s.lit);
    }
    // The manager's notices reach it: the LED is its listener.
    now = 5000;
    juce::MidiBuffer input;
    input.addEvent(juce::MidiMessage::noteOn(1, 60, static_cast<juce::uint8>(100)), 0);
    gui.midi.processMidiBuffer(input, 32);
    gui.midi.drainEvents();
    EXPECT_TRUE(led.isLit());
}

TEST(MidiChannelChooser, ShowsTheChannelAndChangesItThroughTheMenu) {
    MidiGui gui;
    ScriptedModalCalls calls;
    CorvanMidiChannelChooser chooser(&gui, calls);
    EXPECT_EQ(chooser.getName(), "Midi");
    const struct {
        int answer;
        int channel;
        const char* text;
    } steps[] = {{0, 0, "All"}, {6, 5, "5"}, {0, 5, "5"}, {17, 16, "16"}, {1, 0, "All"}};
    EXPECT_EQ(chooser.getButtonText(), "All");
    for (const auto& s : steps) {
        SCOPED_TRACE(s.answer);
        calls.answerMenu(s.answer);
        chooser.triggerClick();
        testing::deliverPostedMessages();
        EXPECT_EQ(gui.midi.getChannel(), s.channel);
        EXPECT_EQ(chooser.getButtonText(), s.text);
    }
    gui.midi.setChannel(9);
    EXPECT_EQ(CorvanMidiChannelChooser(&gui, calls).getButtonText(), "9");
}

} // namespace
} // namespace corvex
