// What the picture widgets show, read back from rendered snapshots: the film-strip frame of a knob and a switch,
// the thumb's position on a slider and the highlight frame's colour.
#include <gtest/gtest.h>

#include "tests/support/FakeGui.h"
#include "widgets/MVBKnob.h"
#include "widgets/MVBSlider.h"
#include "widgets/MVBSwitch.h"

namespace corvex {
namespace {

constexpr int kIndex = 8;

TEST(FilmStrip, KnobFrameFollowsTheValue) {
    const juce::MemoryBlock& strip = greyStrip(64, 40, 40);
    FakeGui gui;
    MVBKnob knob(&gui, kIndex, strip.getData(), strip.getSize());
    knob.setBounds(0, 0, 40, 40);
    struct Case {
        float value;
        int frame;
    };
    for (const Case& c : {Case{1.0f, 63}, Case{0.999f, 62}, Case{0.5f, 31}, Case{0.016f, 1}, Case{0.015f, 0},
                          Case{0.0f, 0}}) {
        gui.echo(kIndex, c.value);
        EXPECT_EQ(frameShownAt(snapshotOf(knob), 20, 20), c.frame) << c.value;
    }
}

TEST(FilmStrip, SwitchShowsPositionZeroAsTheLastFrame) {
    const juce::MemoryBlock& strip = greyStrip(3, 20, 30);
    FakeGui gui;
    for (const bool inverted : {false, true}) {
        MVBSwitch sw(&gui, kIndex, 3, inverted, strip.getData(), strip.getSize());
        sw.setBounds(0, 0, 20, 30);
        for (int position = 0; position < 3; ++position) {
            sw.setValue(position, juce::dontSendNotification);
            EXPECT_EQ(frameShownAt(snapshotOf(sw), 10, 15), 2 - position) << position << " " << inverted;
        }
    }
}

TEST(FilmStrip, AStripTooShortDrawsNothing) {
    const juce::MemoryBlock& strip = greyStrip(1, 40, 40); // 40 rows for 64 frames
    FakeGui gui;
    MVBKnob knob(&gui, kIndex, strip.getData(), strip.getSize());
    knob.setBounds(0, 0, 40, 40);
    EXPECT_EQ(snapshotOf(knob).getPixelAt(20, 20).getAlpha(), 0);
    MVBKnob none(&gui, kIndex, nullptr, 0);
    none.setBounds(0, 0, 40, 40);
    EXPECT_EQ(snapshotOf(none).getPixelAt(20, 20).getAlpha(), 0);
}

const juce::MemoryBlock& redThumb() {
    static juce::MemoryBlock block = [] {
        juce::Image image(juce::Image::ARGB, 20, 10, true);
        image.clear(image.getBounds(), juce::Colours::red);
        juce::MemoryBlock b;
        juce::MemoryOutputStream out(b, false);
        juce::PNGImageFormat().writeImageToStream(image, out);
        return b;
    }();
    return block;
}

int topRowOfThumb(const juce::Image& snapshot) {
    for (int y = 0; y < snapshot.getHeight(); ++y)
        if (snapshot.getPixelAt(10, y).getRed() > 200) return y;
    return -1;
}

TEST(FilmStrip, SliderThumbTravelsTheHeight) {
    FakeGui gui;
    MVBSlider slider(&gui, kIndex, redThumb().getData(), redThumb().getSize());
    slider.setBounds(0, 0, 20, 100); // 90 pixels of travel for a 10-pixel thumb
    struct Case {
        float value;
        int top;
    };
    for (const Case& c : {Case{1.0f, 0}, Case{0.0f, 90}, Case{0.25f, 67}, Case{0.5f, 45}}) {
        gui.echo(kIndex, c.value);
        EXPECT_EQ(topRowOfThumb(snapshotOf(slider)), c.top) << c.value;
    }
}

TEST(HighlightFrame, CodesDrawTheirColoursAndMinusOneNothing) {
    FakeGui gui;
    MVKnob knob(&gui, kIndex);
    knob.setBounds(0, 0, 40, 40);
    struct Case {
        float code;
        juce::uint32 argb;
    };
    const Case cases[] = {{1.0f, 0xFFFFFF00}, {2.0f, 0xFF008000}, {3.7f, 0xFF0000FF},
                          {0.0f, 0xFFFF0000}, {4.0f, 0xFFFF0000}, {-1.0f, 0}};
    for (const Case& c : cases) {
        gui.highlight(kIndex, c.code);
        EXPECT_EQ(knob.getHighlight(), static_cast<int>(c.code));
        const juce::Image shot = snapshotOf(knob);
        // The outline runs along x = 1 and x = 39; the middle stays clear.
        for (const int x : {1, 38}) {
            const juce::Colour p = shot.getPixelAt(x, 20);
            if (c.argb == 0) {
                EXPECT_EQ(p.getAlpha(), 0) << "no frame for -1";
                continue;
            }
            const juce::Colour expected(c.argb);
            EXPECT_GT(p.getAlpha(), 60) << c.code;
            EXPECT_NEAR(p.getRed(), expected.getRed(), 3) << c.code;
            EXPECT_NEAR(p.getGreen(), expected.getGreen(), 3) << c.code;
            EXPECT_NEAR(p.getBlue(), expected.getBlue(), 3) << c.code;
        }
        EXPECT_EQ(shot.getPixelAt(20, 20).getAlpha(), 0);
    }
    gui.highlight(kIndex + 1, 2.0f); // another index's highlight is not this knob's
    EXPECT_EQ(knob.getHighlight(), -1);
}

} // namespace
} // namespace corvex
