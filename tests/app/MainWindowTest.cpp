// The standalone's window under an X server: it opens with the instrument playing through the device,
// plays from its on-screen keys, says when no device opens, and on the way out leaves "midi.prefs" behind.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <csignal>

#include "app/JUCEHelloWorldApplication.h"
#include "app/QuitSignals.h"
#include "app/StandaloneAudioPreferences.h"
#include "app/StandaloneMainWindow.h"
#include "tests/app/StreamerTestSupport.h"
#include "editor/CorvanControlPanel.h"
#include "editor/toolbar/CorvanToolbar.h"
#include "presets/CorvanMultiFilterManager.h"
#include "presets/MorvanePreset.h"
#include "tests/support/FakeGui.h"

namespace corvex {
namespace {

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(root.createDirectory()); }
    void TearDown() override { root.deleteRecursively(); }

    std::unique_ptr<StandaloneMainWindow> openWindow(bool withDevice, bool threaded = false) {
        return std::make_unique<StandaloneMainWindow>(
            "Corvex2", folder, [this, withDevice, threaded](juce::AudioDeviceManager& manager) {
                manager.addAudioDeviceType(std::make_unique<testing::FakeDeviceType>(withDevice, &device, threaded));
            });
    }

    juce::File root = juce::File::createTempFile("settings");
    MorvaneFindFolder folder{root, "Corvex2"};
    testing::FakeDevice* device = nullptr;
};

// Presses the front panel's key for the note with the mouse, as a player would.
void playKey(StandaloneMainWindow& window, int note) {
    CorvanKeyboard& keys = window.getEditor()->getControlPanel().getKeyboard();
    for (int i = 0; i < keys.getKeyCount(); ++i) {
        MVKeyboard::CNote* key = keys.getKey(i);
        if (keys.getLowestNote() + key->getNoteOffset() != note) continue;
        const juce::Point<float> p(key->getWidth() * 0.5f, key->getHeight() - 10.0f);
        key->mouseDown(mouseEvent(*key, p));
        return;
    }
    ADD_FAILURE() << "no key plays " << note;
}

float peakOf(const std::vector<float>& samples) {
    float peak = 0.0f;
    for (const float s : samples) peak = std::max(peak, std::abs(s));
    return peak;
}

TEST_F(MainWindowTest, OpensPlayingThroughTheDeviceAndPlaysFromItsKeys) {
    auto window = openWindow(true);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->getName(), "Corvex2");
    ASSERT_NE(window->getEditor(), nullptr);
    EXPECT_EQ(window->getContentComponent(), window->getEditor());
    EXPECT_EQ(window->getFilter().getActiveEditor(), window->getEditor());
    // The whole editor, LCD shut, on the factory bank's "Default" patch, which its toolbar names.
    EXPECT_EQ(window->getEditor()->getLocalBounds(), juce::Rectangle<int>(0, 0, 1014, 488));
    EXPECT_EQ(window->getFilter().getPatchFilterManager()->getCurrentPreset()->getName(), "Default");
    EXPECT_EQ(window->getEditor()->getToolbar().getPresetCombo().getText(), "w: Default");
    EXPECT_TRUE(window->getDeviceError().isEmpty());
    ASSERT_NE(device, nullptr);
    ASSERT_NE(window->getDeviceManager().getStreamer(), nullptr);
    EXPECT_TRUE(window->getDeviceManager().getStreamer()->isPlaying());
    EXPECT_EQ(window->getFilter().getSampleRate(), 44100.0) << "the device's rate reached the instrument";

    EXPECT_EQ(window->getMenuBarNames(), juce::StringArray{"File"});
    const juce::PopupMenu menu = window->getMenuForIndex(0, "File");
    std::vector<std::pair<int, juce::String>> items;
    for (juce::PopupMenu::MenuItemIterator it(menu); it.next();)
        items.emplace_back(it.getItem().itemID, it.getItem().text);
    EXPECT_EQ(items, (std::vector<std::pair<int, juce::String>>{{1, "Audio & Midi Preferences"}, {2, "Quit"}}));
    EXPECT_EQ(window->getMenuForIndex(1, "").getNumItems(), 0);

    // The device plays silence until a key goes down on the window's keyboard.
    std::vector<float> left(256), right(256);
    float* outs[2] = {left.data(), right.data()};
    for (int i = 0; i < 40; ++i) device->render(outs, 2, 256);
    EXPECT_LT(peakOf(left), 1e-4f);
    playKey(*window, 60);
    float peak = 0.0f;
    for (int i = 0; i < 20; ++i) {
        device->render(outs, 2, 256);
        peak = std::max(peak, peakOf(left));
    }
    EXPECT_GT(peak, 0.01f) << "the on-screen key was heard";

    const juce::Image shot = window->createComponentSnapshot(window->getLocalBounds());
    juce::File png = juce::File::getCurrentWorkingDirectory().getChildFile("main-window.png");
    juce::FileOutputStream out(png);
    if (out.openedOk()) {
        out.setPosition(0);
        out.truncate();
        juce::PNGImageFormat().writeImageToStream(shot, out);
    }
    EXPECT_GT(shot.getWidth(), 600);
    EXPECT_NE(shot.getPixelAt(20, shot.getHeight() - 20), shot.getPixelAt(20, 50)) << "keys drawn below the title";

    window.reset();
    EXPECT_TRUE(folder.getMidiPrefsFile().existsAsFile()) << "the instrument saved its MIDI settings on the way out";
    EXPECT_FALSE(folder.getStandalonePrefsFile().exists()) << "only the preferences dialog writes the device state";
}

// The visible top-level windows of the given title.
int visibleWindowsNamed(const juce::String& title) {
    int count = 0;
    for (int i = 0; i < juce::TopLevelWindow::getNumTopLevelWindows(); ++i) {
        const juce::TopLevelWindow* w = juce::TopLevelWindow::getTopLevelWindow(i);
        if (w->getName() == title && w->isVisible()) ++count;
    }
    return count;
}

TEST_F(MainWindowTest, TheToolbarsMapButtonShowsAndHidesThePresetMap) {
    auto window = openWindow(false);
    ASSERT_NE(window->getEditor(), nullptr);
    juce::Button& map = window->getEditor()->getToolbar().getButton(CorvanToolbar::kMap);
    for (const int shown : {1, 0, 1}) {
        map.triggerClick();
        juce::MessageManager::getInstance()->runDispatchLoopUntil(20);
        EXPECT_EQ(visibleWindowsNamed("Soundmap"), shown);
    }
    // The map's window goes with the editor.
    window.reset();
    EXPECT_EQ(visibleWindowsNamed("Soundmap"), 0);
}

TEST_F(MainWindowTest, WithoutAnAudioDeviceItStillOpensAndSaysSo) {
    auto window = openWindow(false);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->getDeviceError(), "No audio device could be opened: no ALSA or JACK output was found.");
    ASSERT_NE(window->getEditor(), nullptr);
    EXPECT_EQ(window->getName(), "Corvex2 (no audio device: choose one under File > Audio & Midi Preferences)");
    EXPECT_FALSE(window->getDeviceManager().getStreamer()->isPlaying());
    window.reset();
    EXPECT_TRUE(folder.getMidiPrefsFile().existsAsFile());
}

TEST_F(MainWindowTest, ASavedDeviceStateIsUsedAndAForeignFileIsNot) {
    // A state naming our fake type and device: the manager opens exactly it.
    ASSERT_TRUE(folder.getSettingsFolder().createDirectory());
    ASSERT_TRUE(folder.getStandalonePrefsFile().replaceWithText(
        R"(<StandalonePreferences><Audio><DEVICESETUP deviceType="Fake" audioOutputDeviceName="Fake" )"
        R"(audioDeviceRate="44100.0" audioDeviceBufferSize="256"/></Audio></StandalonePreferences>)"));
    auto window = openWindow(true);
    EXPECT_EQ(window->getDeviceManager().getCurrentAudioDeviceType(), "Fake");
    EXPECT_TRUE(window->getDeviceError().isEmpty());
    window.reset();

    ASSERT_TRUE(folder.getStandalonePrefsFile().replaceWithText("<SomethingElse/>"));
    window = openWindow(true);
    EXPECT_TRUE(window->getDeviceError().isEmpty()) << "the default device opens instead";
    window.reset();
    EXPECT_EQ(folder.getStandalonePrefsFile().loadFileAsString(), "<SomethingElse/>") << "never written at exit";
}

// Quitting while the device's thread plays, as the program does: the window takes the streamer off the device
// before the instrument goes, so no block reaches a streamer or an instrument being deleted. The sanitizer
// builds are where a fault here shows.
TEST_F(MainWindowTest, ClosingWhileTheDeviceThreadPlaysStopsCleanly) {
    for (int round = 0; round < 5; ++round) {
        auto window = openWindow(true, true);
        auto* threaded = dynamic_cast<testing::ThreadedFakeDevice*>(device);
        ASSERT_NE(threaded, nullptr);
        playKey(*window, 60 + round);
        while (threaded->blocksPlayed() < 8) std::this_thread::yield();
        window.reset();
        EXPECT_TRUE(folder.getMidiPrefsFile().existsAsFile());
    }
}

// Closing the dialog writes the device state, and its end writes the same again; the next start opens it.
TEST_F(MainWindowTest, ThePreferencesDialogKeepsTheChosenDeviceForTheNextStart) {
    auto window = openWindow(true);
    const juce::File prefs = folder.getStandalonePrefsFile();
    // What the dialog's selector does when the player picks the device: the manager then has a state to keep.
    juce::AudioDeviceManager::AudioDeviceSetup setup = window->getDeviceManager().getAudioDeviceSetup();
    setup.bufferSize = 512;
    ASSERT_EQ(window->getDeviceManager().setAudioDeviceSetup(setup, true), juce::String());
    {
        StandaloneAudioPreferences dialog(window->getDeviceManager(), prefs);
        EXPECT_EQ(dialog.getName(), "Audio Preferences");
        EXPECT_EQ(dialog.getContentComponent()->getWidth(), StandaloneAudioPreferences::kWidth);
        dialog.setVisible(true);
        dialog.closeButtonPressed();
        EXPECT_FALSE(dialog.isVisible());
        ASSERT_TRUE(prefs.existsAsFile());
    }
    const juce::String written = prefs.loadFileAsString();
    const std::unique_ptr<juce::XmlElement> root = juce::parseXML(written);
    ASSERT_NE(root, nullptr);
    ASSERT_NE(root->getChildByName("Audio"), nullptr);
    const juce::XmlElement* state = root->getChildByName("Audio")->getFirstChildElement();
    ASSERT_NE(state, nullptr) << written;
    EXPECT_EQ(state->getStringAttribute("audioOutputDeviceName"), "Fake");
    window.reset();

    auto again = openWindow(true);
    EXPECT_EQ(again->getDeviceManager().getCurrentAudioDeviceType(), "Fake");
    EXPECT_TRUE(again->getDeviceError().isEmpty());
}

// When no X server can be reached (it happened to whole-suite runs on a loaded machine, where several test
// runs start and stop servers), JUCE still runs with no display at all: the window and its dialog must open
// and close anyway. The case runs in a fresh process of this binary with no DISPLAY, since the X connection
// is made once per process.
TEST_F(MainWindowTest, WithoutADisplayTheWindowAndItsDialogStillOpenAndClose) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const char* display = std::getenv("DISPLAY");
    const std::string savedDisplay = display != nullptr ? display : "";
    unsetenv("DISPLAY");
    EXPECT_EXIT(
        {
            auto window = openWindow(true);
            {
                StandaloneAudioPreferences dialog(window->getDeviceManager(), folder.getStandalonePrefsFile());
                dialog.setVisible(true);
                dialog.closeButtonPressed();
            }
            window.reset();
            const bool saved = folder.getStandalonePrefsFile().existsAsFile();
            root.deleteRecursively();
            // JUCE's own statics are not torn down: this process only answers the question.
            std::_Exit(saved ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
    if (display != nullptr) setenv("DISPLAY", savedDisplay.c_str(), 1);
}

// The application as the program runs it: "Quit" and the close button ask it to quit the same way, and
// its shutdown takes the window (and with it the instrument) down.
class RecordingApplication : public JUCEHelloWorldApplication {
public:
    void systemRequestedQuit() override { ++quitRequests; }
    int quitRequests = 0;
};

TEST(Application, QuitAndTheCloseButtonAskToQuitAndShutdownClosesTheWindow) {
    // The program's settings folder follows the user's configuration folder, read once per process: a
    // repeat of this test (--gtest_repeat) must name the same one.
    static const juce::File config = juce::File::createTempFile("config");
    ASSERT_TRUE(config.createDirectory());
    setenv("XDG_CONFIG_HOME", config.getFullPathName().toRawUTF8(), 1);
    {
        RecordingApplication app;
        EXPECT_EQ(app.getApplicationName(), "Corvex2");
        EXPECT_EQ(app.getApplicationVersion(), "2.0.1");
        app.initialise({});
        StandaloneMainWindow* window = app.getMainWindow();
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(window->isVisible());
        window->menuItemSelected(StandaloneMainWindow::kQuitItem, 0);
        window->closeButtonPressed();
        EXPECT_EQ(app.quitRequests, 2);
        {
            // Ctrl-C in the terminal asks the same way, on the message thread, instead of killing the process.
            QuitSignals signals;
            std::raise(SIGINT);
            // The loop runs until the request arrives: on a loaded machine JUCE's timer thread may take many
            // polls to start and post, and three polls' time was sometimes not enough.
            for (int poll = 0; poll < 100 && app.quitRequests < 3; ++poll)
                juce::MessageManager::getInstance()->runDispatchLoopUntil(QuitSignals::kPollMs);
            EXPECT_EQ(app.quitRequests, 3);
        }
        app.shutdown();
        EXPECT_EQ(app.getMainWindow(), nullptr);
    }
    EXPECT_TRUE(MorvaneFindFolder::getInstance().getMidiPrefsFile().existsAsFile());
    EXPECT_TRUE(MorvaneFindFolder::getInstance().getMidiPrefsFile().isAChildOf(config));
    config.deleteRecursively();
}

} // namespace
} // namespace corvex
