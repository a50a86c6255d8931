// The on-screen keyboard: its 61-key layout and what a click finds under it, the notes it sends through the
// MIDI manager, the frames its keys show for the notes reported down, and its octave limits.
#include <mutex>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/FakeGui.h"
#include "instrument/MorvaneMidiManager.h"
#include "widgets/CorvanKeyboard.h"

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

    struct Sent {
        bool on;
        int note;
        bool operator==(const Sent& o) const { return on == o.on && note == o.note; }
    };
    // What the keyboard queued, as the audio thread takes it.
    std::vector<Sent> takeSent() {
        midi.processMidiBuffer({}, 32);
        std::vector<Sent> out;
        for (const auto meta : midi.getBlockEvents()) {
            const auto m = meta.getMessage();
            out.push_back({m.isNoteOn(), m.getNoteNumber()});
        }
        return out;
    }
};

std::ostream& operator<<(std::ostream& os, const MidiGui::Sent& s) {
    return os << (s.on ? "on " : "off ") << s.note;
}

class KeyboardFixture : public ::testing::Test {
protected:
    // The library finds nothing under the mouse in a hidden component, and a shown one is what gets clicked.
    KeyboardFixture() { keyboard.setVisible(true); }

    // Keyboard coordinates, as a press on the keyboard or a drag that began on one of its keys reports them.
    void press(int x, int y) { keyboard.mouseDown(mouseEvent(keyboard, juce::Point<int>(x, y).toFloat())); }
    void drag(int x, int y) { keyboard.mouseDrag(mouseEvent(keyboard, juce::Point<int>(x, y).toFloat())); }
    void release() { keyboard.mouseUp(mouseEvent(keyboard, {0, 0})); }

    MidiGui gui;
    CorvanKeyboard keyboard{&gui};
};

TEST_F(KeyboardFixture, LayoutSpansNotes36To96WithBlackKeysOnTop) {
    EXPECT_EQ(keyboard.getWidth(), 793);
    EXPECT_EQ(keyboard.getHeight(), 138);
    EXPECT_EQ(keyboard.getLowestNote(), 36);
    ASSERT_EQ(keyboard.getKeyCount(), 61);
    int white = 0;
    int black = 0;
    for (int i = 0; i < keyboard.getKeyCount(); ++i) {
        const auto* key = keyboard.getKey(i);
        (key->getHeight() == 138 ? white : black) += 1;
        if (key->getHeight() != 138) {
            EXPECT_EQ(key->getHeight(), 84);
            EXPECT_GT(keyboard.getIndexOfChildComponent(key), 35) << "black keys lie above every white key";
        }
    }
    EXPECT_EQ(white, 36);
    EXPECT_EQ(black, 25);
    // Hand-worked positions: octave k starts at 154 k; C sharp at C + 13, A sharp at A (110 in the octave) + 18.
    struct Hit {
        int x;
        int y;
        int note;
    };
    const Hit hits[] = {
        {1, 130, 36},            // the first C
        {15, 40, 37},            // C sharp over the C's right end
        {15, 120, 36},           // below the black key: the C again
        {24, 40, 37},            // C sharp also covers the D's left end
        {154 + 45, 130, 52},     // E of the second octave (44..66)
        {154 + 111 + 18, 10, 58}, // A sharp of the second octave
        {770, 130, 96},          // the top C
        {792, 137, 96},
    };
    for (const Hit& h : hits) {
        SCOPED_TRACE(testing::Message() << h.x << "," << h.y);
        press(h.x, h.y);
        EXPECT_EQ(keyboard.getHeldNote(), h.note);
        release();
    }
}

TEST_F(KeyboardFixture, GlissandoSendsEachOffBeforeTheNextOn) {
    using S = MidiGui::Sent;
    press(5, 130);  // C 36
    drag(8, 130);   // still C: nothing
    drag(30, 130);  // D 38
    drag(30, 300);  // off the keys: D released
    drag(30, 310);
    drag(16, 40);   // back on, onto C sharp 37
    release();
    release();      // a second release sends nothing more
    const std::vector<S> expected = {{true, 36}, {false, 36}, {true, 38}, {false, 38}, {true, 37}, {false, 37}};
    EXPECT_EQ(gui.takeSent(), expected);
    EXPECT_EQ(keyboard.getHeldNote(), -1);

    // A drag that began on a key reaches the key, which passes its own position along.
    auto* d = keyboard.getKey(1); // D, at x = 22
    d->mouseDown(mouseEvent(*d, {2, 130}));
    d->mouseDrag(mouseEvent(*d, {-20, 130}));
    d->mouseUp(mouseEvent(*d, {-20, 130}));
    const std::vector<S> fromKey = {{true, 38}, {false, 38}, {true, 36}, {false, 36}};
    EXPECT_EQ(gui.takeSent(), fromKey);
}

TEST_F(KeyboardFixture, KeysLightOnlyFromTheManagersReports) {
    press(5, 130);
    EXPECT_FALSE(keyboard.isPressed(36)) << "a press alone lights nothing";
    gui.takeSent();
    gui.midi.drainEvents();
    EXPECT_TRUE(keyboard.isPressed(36)) << "the echo lights it";
    release();
    gui.takeSent();
    gui.midi.drainEvents();
    EXPECT_FALSE(keyboard.isPressed(36));

    for (const int n : {40, 41, 90}) keyboard.midiNoteChanged(n, 1);
    keyboard.midiNoteChanged(200, 1);
    keyboard.midiNoteChanged(-2, 0);
    EXPECT_TRUE(keyboard.isPressed(90)) << "notes outside the range change nothing";
    keyboard.midiNoteChanged(-1, 0);
    for (int n = 0; n < 128; ++n) EXPECT_FALSE(keyboard.isPressed(n)) << n;
}

// Key offsets: 0 the first C (3 frames), 2 its D, 4 its E, 5 its F, 1 its C sharp; note = 36 + offset.
TEST_F(KeyboardFixture, KeyFramesFollowTheKeyAndItsNeighbours) {
    const auto keyAt = [&](int offset) -> MVKeyboard::CNote* {
        for (int i = 0; i < keyboard.getKeyCount(); ++i)
            if (keyboard.getKey(i)->getNoteOffset() == offset) return keyboard.getKey(i);
        return nullptr;
    };
    struct Case {
        std::vector<int> down;
        int offset;
        int frame;
    };
    const Case cases[] = {
        {{}, 2, 0},              {{38}, 2, 4},          {{36}, 2, 2},         {{37}, 2, 1},
        {{36, 37, 38}, 2, 7},    {{36, 38}, 2, 6},      {{39}, 2, 0},         {{40, 38, 39}, 4, 7},
        {{41}, 5, 1},            {{41, 40}, 5, 2},      {{40}, 5, 0},         {{37}, 1, 1},
        {{36}, 1, 0},            {{36}, 0, 1},          {{35, 36}, 0, 1},     {{35}, 0, 0},
        {{96, 95}, 60, 2},       {{95}, 60, 0},
    };
    for (const Case& c : cases) {
        keyboard.midiNoteChanged(-1, 0);
        for (const int n : c.down) keyboard.midiNoteChanged(n, 1);
        const auto* key = keyAt(c.offset);
        ASSERT_NE(key, nullptr);
        EXPECT_EQ(key->getFrame(), c.frame) << "offset " << c.offset << ", " << c.down.size() << " down";
    }
}

TEST_F(KeyboardFixture, OctaveShiftStaysWithinMidiNotes) {
    struct Case {
        int asked;
        int octave;
        int lowest;
    };
    for (const Case& c : {Case{-1, -1, 36}, Case{-4, -4, 0}, Case{-5, -4, 0}, Case{1, 1, 60}, Case{2, 1, 60},
                          Case{100, 1, 60}}) {
        keyboard.setOctave(c.asked);
        EXPECT_EQ(keyboard.getOctave(), c.octave) << c.asked;
        EXPECT_EQ(keyboard.getLowestNote(), c.lowest) << c.asked;
    }
    // At the lowest octave the first key looks at no note below 0.
    keyboard.setOctave(-4);
    keyboard.midiNoteChanged(0, 1);
    EXPECT_EQ(keyboard.getKey(0)->getFrame(), 1);
    keyboard.setOctave(1);
    keyboard.midiNoteChanged(120, 1);
    press(792, 137);
    EXPECT_EQ(keyboard.getHeldNote(), 120);
    release();
}

} // namespace
} // namespace corvex
