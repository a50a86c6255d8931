// The MIDI-learn popup against the instrument's real MIDI manager: it shows the controller the map holds
// however it came there, and its learn, clear and close buttons, the NRPN switch and the number choices
// change the map.
#include "widgets/MVBubbleMidiSettings.h"

#include <gtest/gtest.h>

#include "EditorFixture.h"
#include "instrument/MidiPrefsFile.h"
#include "instrument/MorvaneMidiManager.h"
#include "instrument/midi/ControllerCodes.h"
#include "widgets/MidiControllerCode.h"

namespace corvex {
namespace {

constexpr int kCutoff = 12;    // CC 74 in the default map
constexpr int kBendRange = 238; // RPN 0/0 in the default map
constexpr int kFree = 30;       // no controller in the default map

using Settings = MVBubbleMidiSettings::MidiSettings;

class MidiSettingsPopup : public EditorFixture {
protected:
    void SetUp() override {
        openInstrument();
        openEditor();
    }

    Settings& settings() { return editor->getMidiSettingsBubble().getSettings(); }
    MorvaneMidiManager& midi() { return instrument->getMidiManager(); }

    juce::Button& button(int id) {
        auto* b = dynamic_cast<juce::Button*>(settings().findChildWithId(id));
        EXPECT_NE(b, nullptr) << id;
        return *b;
    }
    juce::Label& label(int id) {
        auto* l = dynamic_cast<juce::Label*>(settings().findChildWithId(id));
        EXPECT_NE(l, nullptr) << id;
        return *l;
    }
    void click(int id) { settings().buttonClicked(&button(id)); }

    // What the popup shows of its controller, e.g. "74", "none", "NRPN 1 5", "RPN 0/0".
    juce::String shown() {
        if (button(Settings::kNrpnSwitch).getToggleState()) {
            EXPECT_FALSE(label(kControllerNumberLabel).isVisible());
            EXPECT_TRUE(label(kNrpnHighLabel).isVisible() && label(kNrpnLowLabel).isVisible());
            return "NRPN " + label(kNrpnHighLabel).getText() + " " + label(kNrpnLowLabel).getText();
        }
        EXPECT_TRUE(label(kControllerNumberLabel).isVisible());
        EXPECT_FALSE(label(kNrpnHighLabel).isVisible() || label(kNrpnLowLabel).isVisible());
        return label(kControllerNumberLabel).getText();
    }

    // A controller moving on the audio side, and the manager's timer bringing its notices to the GUI.
    void moveController(int controller, int value) {
        midi().handleControlChange(controller, value);
        midi().drainEvents();
    }
};

TEST_F(MidiSettingsPopup, OpensOnTheControllerTheMapHolds) {
    struct Case {
        int index;
        const char* shown;
    };
    const Case cases[] = {{kCutoff, "74"}, {kFree, "none"}, {kBendRange, "RPN 0/0"}};
    for (const Case& c : cases) {
        editor->showMidiSettings(c.index, &knob);
        EXPECT_EQ(shown(), c.shown) << c.index;
        EXPECT_EQ(settings().getCode(), midi().getParameterController(c.index));
    }
    midi().assignController(nrpnCode(3, 9), kFree);
    editor->showMidiSettings(kFree, &knob);
    EXPECT_EQ(shown(), "NRPN 3 9");
}

TEST_F(MidiSettingsPopup, AControllerLoadedFromTheSettingsFileIsShown) {
    closeEditor();
    instrument.reset(); // writes "midi.prefs"
    MidiPrefs prefs;
    prefs.channel = 0;
    prefs.entries = {{21, static_cast<int16_t>(kFree)}, {nrpnCode(2, 7), static_cast<int16_t>(kCutoff)}};
    ASSERT_TRUE(saveMidiPrefs(folder->getMidiPrefsFile(), prefs, [](int) { return juce::String("p"); }));
    openInstrument();
    openEditor();

    editor->showMidiSettings(kFree, &knob);
    EXPECT_EQ(shown(), "21");
    editor->showMidiSettings(kCutoff, &knob);
    EXPECT_EQ(shown(), "NRPN 2 7");
}

TEST_F(MidiSettingsPopup, LearnTakesTheNextControllerAndTheButtonSaysSo) {
    editor->showMidiSettings(kFree, &knob);
    click(Settings::kLearnButton);
    EXPECT_EQ(button(Settings::kLearnButton).getButtonText(), "Learning ...");
    EXPECT_TRUE(settings().isLearning());

    moveController(21, 64);
    EXPECT_EQ(midi().getParameterController(kFree), 21);
    EXPECT_EQ(shown(), "21");
    EXPECT_FALSE(settings().isLearning());
    EXPECT_EQ(button(Settings::kLearnButton).getButtonText(), "Learn");

    // A second click on "Learn" disarms it: the next controller only moves what it already drives.
    click(Settings::kLearnButton);
    click(Settings::kLearnButton);
    EXPECT_EQ(button(Settings::kLearnButton).getButtonText(), "Learn");
    moveController(22, 64);
    EXPECT_EQ(midi().getParameterController(kFree), 21);
}

TEST_F(MidiSettingsPopup, ClosingOrAnotherChangeEndsLearning) {
    editor->showMidiSettings(kFree, &knob);
    click(Settings::kLearnButton);
    click(Settings::kCloseButton);
    EXPECT_FALSE(editor->getMidiSettingsBubble().isVisible());
    EXPECT_FALSE(settings().isLearning());
    moveController(23, 64);
    EXPECT_EQ(midi().getParameterController(kFree), -1) << "a closed popup learns nothing";

    // Hidden by the editor rather than its own button: the same.
    editor->showMidiSettings(kFree, &knob);
    click(Settings::kLearnButton);
    editor->hideMidiSettings();
    moveController(23, 64);
    EXPECT_EQ(midi().getParameterController(kFree), -1);

    // "Clear" while learning: the button turns off, and so does learning itself.
    editor->showMidiSettings(kCutoff, &knob);
    click(Settings::kLearnButton);
    click(Settings::kClearButton);
    EXPECT_EQ(shown(), "none");
    EXPECT_FALSE(settings().isLearning());
    moveController(24, 64);
    EXPECT_EQ(midi().getParameterController(kCutoff), -1);
}

TEST_F(MidiSettingsPopup, ClearRemovesTheControllerFromTheMap) {
    editor->showMidiSettings(kCutoff, &knob);
    click(Settings::kClearButton);
    EXPECT_EQ(midi().getParameterController(kCutoff), -1);
    EXPECT_EQ(shown(), "none");
    EXPECT_EQ(midi().getParameterController(104), 74) << "the other layer's cutoff keeps CC 74";
}

TEST_F(MidiSettingsPopup, TheNrpnSwitchTurnsTheControllerIntoItsNrpnAndBack) {
    struct Case {
        int before;
        int after;
        const char* shown;
    };
    const Case cases[] = {
        {74, 0x804A, "NRPN 0 74"},
        {0x804A, 74, "74"},
        {-1, 0x8000, "NRPN 0 0"},
        {0x8000 | (1 << 7) | 5, 5, "5"}, // has no plain twin above 127: keeps its low part
        {0x10000, 0x8000, "NRPN 0 0"},   // an RPN becomes the NRPN of its parts
    };
    for (const Case& c : cases) {
        midi().assignController(c.before, kFree);
        editor->showMidiSettings(kFree, &knob);
        click(Settings::kNrpnSwitch);
        EXPECT_EQ(midi().getParameterController(kFree), c.after) << std::hex << c.before;
        EXPECT_EQ(shown(), c.shown) << std::hex << c.before;
    }
}

TEST_F(MidiSettingsPopup, NumberChoicesChangeThePartOfTheirLabel) {
    struct Case {
        int label;
        int before;
        int result; // kMenuDismissed, kMenuChoseNone or the number chosen
        int after;
    };
    const int nrpn1of5 = 0x8085; // high 1, low 5
    const Case cases[] = {
        {kControllerNumberLabel, 74, 7, 7},
        {kControllerNumberLabel, -1, 127, 127},
        {kControllerNumberLabel, 74, 0, 74},
        {kControllerNumberLabel, 74, kMenuChoseNone, 74},
        {kControllerNumberLabel, 74, kMenuDismissed, 74},
        {kNrpnHighLabel, nrpn1of5, 7, 0x8385},
        {kNrpnHighLabel, nrpn1of5, 0, 0x8005},
        {kNrpnHighLabel, nrpn1of5, kMenuChoseNone, nrpn1of5},
        {kNrpnLowLabel, nrpn1of5, 9, 0x8089},
        {kNrpnLowLabel, nrpn1of5, 127, 0x80FF},
        {kNrpnLowLabel, nrpn1of5, kMenuDismissed, nrpn1of5},
    };
    for (const Case& c : cases) {
        midi().assignController(c.before, kFree);
        editor->showMidiSettings(kFree, &knob);
        settings().applyNumberChoice(c.label, c.result);
        EXPECT_EQ(midi().getParameterController(kFree), c.after) << c.label << " " << c.result;
        EXPECT_EQ(settings().getCode(), c.after) << c.label << " " << c.result;
    }
}

TEST(MidiNumberMenu, TicksTheNumberItsLabelShows) {
    struct Case {
        int label;
        int code;
        int ticked; // -1 "none", 0..127 that number, kMenuDismissed nothing
    };
    const Case cases[] = {
        {kControllerNumberLabel, -1, -1},   {kControllerNumberLabel, 74, 74},
        {kControllerNumberLabel, 0x8385, kMenuDismissed}, {kControllerNumberLabel, 0x10000, kMenuDismissed},
        {kNrpnHighLabel, 0x8385, 7},        {kNrpnLowLabel, 0x8385, 5},
        {kNrpnHighLabel, -1, -1},
    };
    for (const Case& c : cases) EXPECT_EQ(tickedMenuNumber(c.label, c.code), c.ticked) << c.label << " " << c.code;
}

} // namespace
} // namespace corvex
