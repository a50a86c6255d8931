// The parameter bubble's value texts by kernel unit, and what a bubble looks like on screen.
#include "widgets/MVBubbleParamComponent.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "EditorFixture.h"
#include "tests/support/Snapshots.h"

namespace corvex {
namespace {

TEST(ParameterBubbleText, KernelUnitsAsTheBubbleWritesThem) {
    struct Case {
        int unit;
        float value;
        const char* text;
    };
    const Case cases[] = {
        {0, -6.7f, "-6 db"},
        {0, 3.9f, "3 db"},
        {1, 1234.5678f, "1234.57 Hz"},
        {1, 0.004f, "0.00 Hz"},
        {2, 120.9f, "120 bpm"},
        {3, 0.0f, "Stopped"},
        {3, 1.0f, "Tempo"},
        {3, 2.0f, "Tempo * 2"},
        {3, -4.0f, "Tempo / 4"},
        {3, -4.9f, "Tempo / 4"},
        {4, 0.5f, "0.500000"},
        {7, -1.25f, "-1.250000"},
        {8, 3.0f, "3.000000"},
        {5, 250.7f, "250 ms"},
        {6, 7.9f, "+7 semitone"},
        {6, -3.0f, "-3 semitone"},
        {6, 0.0f, "+0 semitone"},
        {9, 55.5f, "55%"},
        {10, 90.2f, "90 deg"},
        {11, 3.0f, "  "},
        {-1, 3.0f, "  "},
        // A report that is not a number, or one beyond any int, must not reach an int conversion.
        {0, std::numeric_limits<float>::quiet_NaN(), "  "},
        {1, std::numeric_limits<float>::infinity(), "  "},
        {5, 1.0e20f, "2147483647 ms"},
        {6, -1.0e20f, "-2147483648 semitone"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MVBubbleParamComponent::formatKernelValue(c.unit, c.value), c.text) << c.unit << " " << c.value;
}

class BubbleLook : public EditorFixture {
protected:
    void SetUp() override {
        openInstrument();
        openEditor();
    }
};

// Counts the opaque pixels of a bubble, and those of its content area that stand out from the body's colour
// (the text).
struct Coverage {
    int opaque = 0;
    int text = 0;
};

Coverage coverageOf(const juce::Image& image, juce::Rectangle<int> content) {
    Coverage c;
    const float body = image.getPixelAt(content.getX() + 2, content.getY() + 2).getBrightness();
    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x) {
            const juce::Colour p = image.getPixelAt(x, y);
            if (p.getAlpha() > 200) ++c.opaque;
            if (content.contains(x, y) && std::abs(p.getBrightness() - body) > 0.4f) ++c.text;
        }
    return c;
}

// The library keeps the content this far from each edge of the bubble; the arrow and shadow live outside it.
juce::Rectangle<int> contentOf(const juce::Component& bubble, int width, int height) {
    return {(bubble.getWidth() - width) / 2, (bubble.getHeight() - height) / 2, width, height};
}

TEST_F(BubbleLook, TheParameterBubbleDrawsItsTextBesideTheWidget) {
    editor->showParameterBubble(5, &knob);
    MVBubbleParamComponent& bubble = editor->getParameterBubble();
    ASSERT_TRUE(bubble.isVisible());
    int w = 0, h = 0;
    bubble.getContentSize(w, h);
    const juce::Rectangle<int> content = contentOf(bubble, w, h);
    const juce::Rectangle<int> body = content + bubble.getPosition();
    EXPECT_FALSE(body.intersects(knob.getBounds())) << "the bubble must not cover the widget it explains";
    EXPECT_TRUE(body.getX() >= knob.getRight() || body.getRight() <= knob.getX()) << "only left or right";

    const juce::Image snapshot = bubble.createComponentSnapshot(bubble.getLocalBounds());
    keepSnapshot(snapshot, "parameter-bubble.png");
    const Coverage c = coverageOf(snapshot, content);
    // The body fills the content area; the two lines of text stand out on a part of it.
    EXPECT_GT(c.opaque, w * h * 9 / 10);
    EXPECT_GT(c.text, 30);
    EXPECT_LT(c.text, w * h / 3);
}

TEST_F(BubbleLook, TheMidiLearnPopupShowsItsControls) {
    editor->showMidiSettings(12, &knob);
    MVBubbleMidiSettings& popup = editor->getMidiSettingsBubble();
    ASSERT_TRUE(popup.isVisible());
    EXPECT_EQ(popup.getSettings().getWidth(), 214);
    EXPECT_EQ(popup.getSettings().getHeight(), 114);
    const juce::Image snapshot = popup.createComponentSnapshot(popup.getLocalBounds());
    keepSnapshot(snapshot, "midi-learn-popup.png");
    const Coverage c = coverageOf(snapshot, contentOf(popup, 220, 120));
    EXPECT_GT(c.opaque, 220 * 120 * 9 / 10);
    EXPECT_GT(c.text, 300) << "title, name, switch, number and two buttons";
}

} // namespace
} // namespace corvex
