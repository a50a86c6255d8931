// The preset browser's side views under an X server: the bar's messages and keys, the list's filter, order and
// current row, the morpher's snapshots, morph and report, and the navigator's rectangle, drag and marker.
// A picture of each view is kept.
#include <memory>

#include <gtest/gtest.h>

#include "presetmap/view/CPresetBrowserBar.h"
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


} // namespace
} // namespace corvex
