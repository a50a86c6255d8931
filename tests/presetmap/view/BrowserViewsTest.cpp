// The preset browser's side views under an X server: the bar's messages and keys, the list's filter, order and
// current row, the morpher's snapshots, morph and report, and the navigator's rectangle, drag and marker.
// A picture of each view is kept.
#include <array>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "presetmap/view/CPresetBrowserBar.h"
#include "presetmap/view/CPresetListComponent.h"
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
} // namespace
} // namespace corvex
