// The editor base in front of a real instrument: edit gestures by kind, echoes through the messenger, the
// refresh of a parameter, the kernel's report in the parameter bubble, the bubbles' priority and
// "plugin.prefs".
#include "widgets/MorvaneAudioFilterEditor.h"

#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

#include "EditorFixture.h"

namespace corvex {
namespace {

constexpr int kCutoff = 12;       // continuous, "Cutoff"
constexpr int kOsc2Sync = 5;      // discrete, 2 steps: "Oscillator 2 sync", "Off" / "On"
constexpr int kShownLayer = 1016; // the editor's own id: no mapper, no name

struct RecordingHost : AudioFilterBase::FilterNativeCallbacks {
    std::vector<std::string> calls;
    bool getCurrentPositionInfo(juce::AudioPlayHead::CurrentPositionInfo&) override { return false; }
    void informHostOfParameterChange(int index, float value, bool apply) override {
        calls.push_back("value " + std::to_string(index) + " " + juce::String(value).toStdString() +
                        (apply ? " apply" : ""));
    }
    void beginParameterGesture(int index) override { calls.push_back("begin " + std::to_string(index)); }
    void endParameterGesture(int index) override { calls.push_back("end " + std::to_string(index)); }
};

class EditorBase : public EditorFixture {
protected:
    void SetUp() override {
        openInstrument();
        openEditor();
    }
};

TEST_F(EditorBase, EditKindsReachTheHostOrTheInstrument) {
    RecordingHost host;
    instrument->setHostCallbacks(&host);
    struct Case {
        int kind;
        int index;
        float value;
        const char* expected; // what the host hears, "" for nothing
    };
    const Case cases[] = {
        {0, kCutoff, 0.0f, "begin 12"},
        {2, kCutoff, 0.25f, "value 12 0.25 apply"},
        {1, kCutoff, 0.0f, "end 12"},
        {3, kCutoff, 0.75f, ""},
        {-1, kCutoff, 0.75f, ""},
    };
    for (const Case& c : cases) {
        host.calls.clear();
        editor->notifyParameterEdit(c.kind, c.index, c.value);
        const std::string heard = host.calls.empty() ? "" : host.calls.front();
        EXPECT_EQ(heard, c.expected) << "kind " << c.kind;
        EXPECT_LE(host.calls.size(), 1u);
    }
    instrument->setHostCallbacks(nullptr);

    // Without a host the value goes straight to the instrument; kinds other than 2 leave it alone.
    editor->notifyParameterEdit(2, kCutoff, 0.25f);
    EXPECT_NEAR(editor->getParameter(kCutoff), 0.25f, 1.0f / 16384.0f);
    editor->notifyParameterEdit(3, kCutoff, 0.75f);
    editor->notifyParameterEdit(0, kCutoff, 0.75f);
    EXPECT_NEAR(editor->getParameter(kCutoff), 0.25f, 1.0f / 16384.0f);
}

TEST_F(EditorBase, TheInstrumentsEchoReachesWidgetsOnlyThroughTheMessageLoop) {
    RecordingListener widget;
    editor->addParameterListener(kCutoff, &widget);
    editor->notifyParameterEdit(2, kCutoff, 0.5f);
    EXPECT_TRUE(widget.calls.empty()) << "widgets move on the echo, never inside the edit";
    ASSERT_TRUE(pumpUntil([&] { return !widget.calls.empty(); }));
    EXPECT_EQ(widget.calls[0].index, kCutoff);
    EXPECT_EQ(widget.calls[0].value, 0.5f);

    editor->removeParameterListener(kCutoff, &widget);
    EXPECT_EQ(editor->getMessenger().parameterListenerCount(kCutoff), 0);
}

TEST_F(EditorBase, RefreshAnswersDiscreteAndMakesTheKernelReportAContinuousValue) {
    const int before = instrument->getKernel()->pendingMessageCount();
    EXPECT_TRUE(editor->refreshParameter(kOsc2Sync));
    EXPECT_EQ(instrument->getKernel()->pendingMessageCount(), before) << "a discrete index pushes nothing";
    for (const int outside : {-1, 1010, kShownLayer, 100000}) {
        EXPECT_FALSE(editor->refreshParameter(outside)) << outside;
        EXPECT_EQ(instrument->getKernel()->pendingMessageCount(), before) << outside;
    }
    EXPECT_FALSE(editor->refreshParameter(kCutoff));
    EXPECT_GT(instrument->getKernel()->pendingMessageCount(), before) << "the cached value went to the kernel again";
}

// The whole road of a continuous parameter's bubble: bound, value line empty, refreshed into the kernel, which
// reports the value with its unit on the next render, and the idle drain brings it to the bubble.
TEST_F(EditorBase, TheParameterBubbleShowsTheKernelsReportOfItsValue) {
    editor->showParameterBubble(kCutoff, &knob);
    MVBubbleParamComponent& bubble = editor->getParameterBubble();
    EXPECT_TRUE(bubble.isVisible());
    EXPECT_EQ(bubble.getParameterIndex(), kCutoff);
    EXPECT_FALSE(bubble.showsInterfaceText());
    EXPECT_EQ(bubble.getText(), "Cutoff \n  ");

    render(2);
    instrument->getKernel()->drainNotifications();
    EXPECT_TRUE(bubble.getText().startsWith("Cutoff \n")) << bubble.getText();
    EXPECT_TRUE(bubble.getText().endsWith(" Hz")) << bubble.getText();

    // A report of another module's parameter leaves it alone.
    const juce::String shown = bubble.getText();
    editor->kernelParameterChanged(1, 60, 60, 0, 3.0f);
    EXPECT_EQ(bubble.getText(), shown);
}

TEST_F(EditorBase, ADiscreteBubbleFollowsTheEchoAndHidingUnbindsIt) {
    editor->showParameterBubble(kOsc2Sync, &knob);
    MVBubbleParamComponent& bubble = editor->getParameterBubble();
    EXPECT_TRUE(bubble.showsInterfaceText());
    EXPECT_EQ(bubble.getText(), "Oscillator 2 sync \nOff");
    EXPECT_EQ(editor->getMessenger().parameterListenerCount(kOsc2Sync), 1);

    editor->notifyParameterEdit(2, kOsc2Sync, 0.75f);
    ASSERT_TRUE(pumpUntil([&] { return bubble.getText() == "Oscillator 2 sync \nOn"; })) << bubble.getText();
    // Kernel reports do not overwrite the interface's own text.
    editor->kernelParameterChanged(0, 0, 0, 1, 440.0f);
    EXPECT_EQ(bubble.getText(), "Oscillator 2 sync \nOn");

    editor->hideParameterBubble();
    EXPECT_FALSE(bubble.isVisible());
    EXPECT_EQ(bubble.getParameterIndex(), -1);
    EXPECT_EQ(editor->getMessenger().parameterListenerCount(kOsc2Sync), 0);
    editor->hideParameterBubble(); // an unbound bubble only hides
    EXPECT_FALSE(bubble.isVisible());
}

TEST_F(EditorBase, ABubbleWithoutNameOrValueStaysHiddenButBound) {
    editor->showParameterBubble(kShownLayer, &knob);
    EXPECT_FALSE(editor->getParameterBubble().isVisible());
    EXPECT_EQ(editor->getParameterBubble().getParameterIndex(), kShownLayer);
}

TEST_F(EditorBase, TheMidiLearnPopupHasPriorityOverTheOtherBubbles) {
    editor->showParameterBubble(kOsc2Sync, &knob);
    ASSERT_TRUE(editor->getParameterBubble().isVisible());

    editor->showMidiSettings(300, &knob); // not learnable: nothing at all happens
    EXPECT_FALSE(editor->getMidiSettingsBubble().isVisible());
    EXPECT_TRUE(editor->getParameterBubble().isVisible());
    editor->showMidiSettings(-1, &knob);
    EXPECT_TRUE(editor->getParameterBubble().isVisible());

    editor->showMidiSettings(kCutoff, &knob);
    EXPECT_TRUE(editor->getMidiSettingsBubble().isVisible());
    EXPECT_FALSE(editor->getParameterBubble().isVisible());
    EXPECT_EQ(editor->getMidiSettingsBubble().getSettings().getIndex(), kCutoff);

    editor->showParameterBubble(kOsc2Sync, &knob);
    editor->showTextBubble("hello", &knob);
    EXPECT_FALSE(editor->getParameterBubble().isVisible());
    EXPECT_FALSE(editor->getTextBubble().isVisible());

    editor->hideMidiSettings();
    editor->showTextBubble("hello", &knob);
    EXPECT_TRUE(editor->getTextBubble().isVisible());
    EXPECT_EQ(editor->getTextBubble().getText(), "hello");
    editor->setTextBubbleText("changed");
    EXPECT_EQ(editor->getTextBubble().getText(), "changed");
    editor->hideTextBubble();
    EXPECT_FALSE(editor->getTextBubble().isVisible());
    EXPECT_EQ(editor->getTextBubble().getText(), "");
}

TEST_F(EditorBase, AValueThatArrivesLaterStillFitsTheBubble) {
    editor->showTextBubble("x", &knob);
    const int narrow = editor->getTextBubble().getWidth();
    editor->setTextBubbleText("a much longer line of text than before");
    EXPECT_GT(editor->getTextBubble().getWidth(), narrow);
}

TEST_F(EditorBase, PreferencesKeepTheirDefaultsAndIntsReadBackAsText) {
    EXPECT_EQ(editor->getStringSetting(guisettings::kShowPopupOnClick, "yes"), "yes");
    EXPECT_EQ(editor->getIntSetting(guisettings::kPopupDelayTime, 1000), 1000);

    editor->setIntSetting(guisettings::kPopupDelayTime, 1500);
    editor->setStringSetting(guisettings::kShowPopupOnOver, "no");
    EXPECT_EQ(editor->getStringSetting(guisettings::kPopupDelayTime, ""), "1500");

    // A new editor reads what the last one left in "plugin.prefs".
    closeEditor();
    EXPECT_TRUE(folder->getPluginPrefsFile().existsAsFile());
    openEditor();
    EXPECT_EQ(editor->getStringSetting(guisettings::kPopupDelayTime, ""), "1500");
    EXPECT_EQ(editor->getIntSetting(guisettings::kPopupDelayTime, 1000), 1500);
    EXPECT_EQ(editor->getStringSetting(guisettings::kShowPopupOnOver, "yes"), "no");
}

TEST_F(EditorBase, APreferencesFileInAnotherFormatIsKeptAndDefaultsServe) {
    closeEditor();
    const juce::File prefs = folder->getPluginPrefsFile();
    ASSERT_TRUE(prefs.getParentDirectory().createDirectory());
    const juce::String foreign("<?xml version=\"1.0\"?><PROPERTIES><VALUE name=\"MrvPopupDelayTime\" val=\"7\"/></PROPERTIES>");
    ASSERT_TRUE(prefs.replaceWithText(foreign));

    openEditor();
    EXPECT_FALSE(editor->hasPreferences());
    EXPECT_EQ(editor->getIntSetting(guisettings::kPopupDelayTime, 1000), 1000);
    editor->setIntSetting(guisettings::kPopupDelayTime, 2000);
    closeEditor();
    EXPECT_EQ(prefs.loadFileAsString(), foreign);
}

TEST_F(EditorBase, TheInstrumentsPointsArriveAsAGuiMessage) {
    // The kernel's own X/Y module may report its trajectory (five groups) meanwhile: look for ours among all.
    struct Screen : MVGuiMessageListener {
        std::vector<int> groups;
        void guiMessageReceived(int, const std::shared_ptr<const void>& payload) override {
            groups.push_back(std::static_pointer_cast<const PointRecord>(payload)->groupCount);
        }
        bool heardTwo() const { return std::find(groups.begin(), groups.end(), 2) != groups.end(); }
    } screen;
    editor->addGuiMessageListener(0, &screen);
    const uint8_t twoGroups[32] = {};
    instrument->kernelDataReceived(1, 25, 0, twoGroups, sizeof twoGroups);
    EXPECT_FALSE(screen.heardTwo()) << "delivered later, on the message loop";
    EXPECT_TRUE(pumpUntil([&] { return screen.heardTwo(); }));
    editor->removeGuiMessageListener(0, &screen);
}

TEST_F(EditorBase, AnEditorThatGoesUnregistersItselfFromTheInstrument) {
    ASSERT_EQ(instrument->getActiveEditor(), static_cast<EditorHooks*>(editor.get()));
    editor.reset();
    EXPECT_EQ(instrument->getActiveEditor(), nullptr);
}

TEST(EditorWithoutInstrument, AnswersWithDefaultsAndNoMidiManager) {
    const juce::File root = juce::File::getSpecialLocation(juce::File::tempDirectory)
                                .getChildFile("corvex-widgets-bare-" + juce::String::toHexString(juce::Random().nextInt64()));
    {
        const MorvaneFindFolder folder(root, "Corvex2");
        MorvaneAudioFilterEditor editor(nullptr, folder);
        EXPECT_EQ(editor.getMidiManager(), nullptr);
        EXPECT_FALSE(editor.refreshParameter(kCutoff));
        EXPECT_EQ(editor.getParameterName(kCutoff), "");
        editor.notifyParameterEdit(2, kCutoff, 0.5f);
        editor.showMidiSettings(kCutoff, nullptr);
        EXPECT_FALSE(editor.getMidiSettingsBubble().isVisible());
    }
    root.deleteRecursively();
}

} // namespace
} // namespace corvex
