// The product look-and-feel: its colour table against the written ARGB values, its fonts, one instance, and
// pixel probes of each drawing it adds or replaces.
#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include "tests/support/FakeGui.h"
#include "widgets/CorvanLookAndFeel.h"

namespace corvex {
namespace {

constexpr juce::uint32 kDark = 0xFF1B1B1B;
constexpr juce::uint32 kGrey = 0xFF9B9B9B;
constexpr juce::uint32 kLight = 0xFFF5F5F5;
constexpr juce::uint32 kAccent = 0xFFD09D4C;
constexpr juce::uint32 kClear = 0x00000000;

CorvanLookAndFeel& lookAndFeel() { return *CorvanLookAndFeel::getInstance(); }

TEST(CorvanLookAndFeel, ColourTableHoldsEveryWrittenEntry) {
    struct Entry {
        int id;
        juce::uint32 argb;
    };
    const Entry table[] = {
        {0x1000280, kClear}, {0x1000281, kLight}, {0x1000282, kClear},                                 // Label
        {0x1000B00, kDark},  {0x1000A00, kLight}, {0x1000C00, kGrey},  {0x1000D00, kAccent},
        {0x1000E00, kAccent},                                                                          // ComboBox
        {0x1002800, kDark},  {0x1002810, kDark},  {0x1002820, kLight},                                 // ListBox
        {0x1005400, kLight}, {0x1005410, kLight},                                                      // group
        {0x1000200, kDark},  {0x1000201, kLight}, {0x1000202, kAccent}, {0x1000203, kLight},
        {0x1000205, kGrey},  {0x1000204, kLight},                                                      // editor
        {0x1000700, kDark},  {0x1000600, kLight}, {0x1000900, kAccent}, {0x1000800, kLight},
        {0x1000601, kAccent},                                                                          // menu
    };
    CorvanLookAndFeel& lf = lookAndFeel();
    for (const Entry& e : table) {
        SCOPED_TRACE(testing::Message() << std::hex << "id 0x" << e.id);
        ASSERT_TRUE(lf.isColourSpecified(e.id));
        EXPECT_EQ(lf.findColour(e.id).getARGB(), e.argb);
    }
    EXPECT_EQ(lf.darkColour.getARGB(), kDark);
    EXPECT_EQ(lf.greyColour.getARGB(), kGrey);
    EXPECT_EQ(lf.lightColour.getARGB(), kLight);
    EXPECT_EQ(lf.accentColour.getARGB(), kAccent);
    EXPECT_EQ(lf.getOutlineColour().getARGB(), kDark) << "the tab drawings' outline";
    EXPECT_EQ(lf.getFaceColour().getARGB(), kGrey) << "the tab drawings' face";

    // Ids outside the table keep the library's defaults.
    juce::LookAndFeel_V4 library;
    for (int id : {0x1000100 /* text button */, 0x1001300 /* slider thumb */, 0x1000206 /* focused outline */,
                   0x1000300 /* scroll bar background */})
        EXPECT_EQ(lf.findColour(id), library.findColour(id)) << std::hex << id;
}

TEST(CorvanLookAndFeel, OneInstanceWithSmallDejaVuFonts) {
    CorvanLookAndFeel* lf = CorvanLookAndFeel::getInstance();
    EXPECT_EQ(CorvanLookAndFeel::getInstance(), lf);
    EXPECT_EQ(lf->getDefaultFontHeight(), 11);
    EXPECT_FLOAT_EQ(lf->getPopupMenuFont().getHeight(), 11.0f);
    juce::ScrollBar bar(true);
    EXPECT_EQ(lf->getMinimumScrollbarThumbSize(bar), 10);

    juce::Font a(30.0f, juce::Font::bold);
    juce::Font b(30.0f, juce::Font::italic);
    lf->getDefaultFonts(a, b, 0);
    for (const juce::Font& f : {a, b}) {
        EXPECT_FLOAT_EQ(f.getHeight(), 11.0f);
        EXPECT_EQ(f.getStyleFlags(), juce::Font::plain);
    }
    // The face is pinned by name: the sans-serif default resolves to DejaVu Sans.
    EXPECT_EQ(lf->getTypefaceForFont(a)->getName(), "DejaVu Sans");
}

// The library deletes the instance when it shuts down; a component still pointing at it must not dangle, and a
// later caller gets a fresh instance with the same table.
TEST(CorvanLookAndFeel, ShutdownLeavesNoDanglingUser) {
    juce::Label label;
    label.setLookAndFeel(CorvanLookAndFeel::getInstance());
    EXPECT_EQ(&label.getLookAndFeel(), CorvanLookAndFeel::getInstance());
    label.setLookAndFeel(nullptr);

    juce::Label straggler;
    straggler.setLookAndFeel(CorvanLookAndFeel::getInstance());
    delete CorvanLookAndFeel::getInstance();
    EXPECT_NE(dynamic_cast<juce::LookAndFeel*>(&straggler.getLookAndFeel()), nullptr);
    EXPECT_EQ(dynamic_cast<CorvanLookAndFeel*>(&straggler.getLookAndFeel()), nullptr)
        << "falls back to the default look";
    snapshotOf(straggler);

    CorvanLookAndFeel* fresh = CorvanLookAndFeel::getInstance();
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(fresh->findColour(juce::ComboBox::backgroundColourId).getARGB(), kDark);
}

// Images start transparent black; a drawing is probed at points where the written geometry puts (or does not
// put) ink.
struct Probe {
    const char* what;
    int width, height;
    std::function<void(juce::Graphics&)> draw;
    int x, y;
    juce::uint32 expected;
};

juce::Colour pixelOf(const Probe& p) {
    juce::Image image(juce::Image::ARGB, p.width, p.height, true);
    {
        juce::Graphics g(image);
        p.draw(g);
    }
    return image.getPixelAt(p.x, p.y);
}

void expectNear(juce::Colour actual, juce::uint32 expected, const char* what) {
    const juce::Colour e(expected);
    const auto near = [](juce::uint8 a, juce::uint8 b) { return std::abs(int(a) - int(b)) <= 2; };
    EXPECT_TRUE(near(actual.getAlpha(), e.getAlpha()) && near(actual.getRed(), e.getRed()) &&
                near(actual.getGreen(), e.getGreen()) && near(actual.getBlue(), e.getBlue()))
        << what << ": got " << actual.toDisplayString(true) << ", want " << e.toDisplayString(true);
}

TEST(CorvanLookAndFeel, DrawingsPutTheirInkWhereWritten) {
    CorvanLookAndFeel& lf = lookAndFeel();
    juce::ScrollBar bar(true);
    juce::Component tickOwner;
    juce::TextEditor editor;
    const auto white = [](juce::Graphics& g) { g.setColour(juce::Colours::white); };
    const auto group = [&](const char* title, int w) {
        return [&lf, white, title, w](juce::Graphics& g) {
            white(g);
            lf.drawGroupOutline(g, title, 10, 10, w, 50, 2.0f, 11);
        };
    };
    const auto box = [&lf](bool selected, bool enabled) {
        return [&lf, selected, enabled](juce::Graphics& g) { lf.drawRoundedBox(g, "", 100, 20, selected, enabled); };
    };
    const auto scrollbar = [&lf, &bar](int thumbSize) {
        return [&lf, &bar, thumbSize](juce::Graphics& g) {
            lf.drawScrollbar(g, bar, 0, 0, 12, 100, true, 30, thumbSize, false, false);
        };
    };
    const auto tickBox = [&lf, &tickOwner](bool ticked, bool enabled) {
        return [&lf, &tickOwner, ticked, enabled](juce::Graphics& g) {
            g.fillAll(juce::Colours::black);
            lf.drawTickBox(g, tickOwner, 0.0f, 0.0f, 18.0f, 18.0f, ticked, enabled, false, false);
        };
    };
    const auto padlock = [&lf, white](juce::Graphics& g) {
        white(g);
        g.addTransform(juce::AffineTransform::scale(4.0f));
        lf.drawPadlock(g, 0, 0, 12, 18);
    };
    const Probe probes[] = {
        // An empty title still leaves the 8-pixel gap from x + 9 to x + 17 of the top edge.
        {"group: gap of an empty title", 120, 70, group("", 100), 23, 10, kClear},
        {"group: top edge after the gap", 120, 70, group("", 100), 40, 10, 0xFFFFFFFF},
        {"group: left edge", 120, 70, group("", 100), 10, 35, 0xFFFFFFFF},
        {"group: right edge", 120, 70, group("", 100), 110, 35, 0xFFFFFFFF},
        {"group: bottom edge", 120, 70, group("", 100), 60, 60, 0xFFFFFFFF},
        // Narrower than 18: no gap at all.
        {"group: narrow frame has no gap", 40, 70, group("", 17), 21, 10, 0xFFFFFFFF},
        {"box: selected fills light", 100, 20, box(true, true), 50, 10, kLight},
        {"box: unselected fills dark", 100, 20, box(false, true), 50, 10, kDark},
        {"box: disabled draws no box", 100, 20, box(true, false), 50, 10, kClear},
        {"scroll bar: no thumb, dark only", 12, 100, scrollbar(0), 6, 40, kDark},
        {"scroll bar: thumb brightened by 0.1", 12, 100, scrollbar(20), 2, 40, 0xFFA4A4A4},
        {"scroll bar: track below the thumb", 12, 100, scrollbar(20), 5, 80, 0xFF2F2F2F},
        {"scroll bar: beside the track", 12, 100, scrollbar(20), 1, 80, kDark},
        {"tick box: white at 0.9 inside the box", 18, 18, tickBox(false, true), 4, 14, 0xFFE5E5E5},
        {"tick box: the tick is black", 18, 18, tickBox(true, true), 6, 11, 0xFF000000},
        // Light grey 0xD3 at alpha 0.1 over black.
        {"tick box: disabled is nearly clear", 18, 18, tickBox(false, false), 4, 14, 0xFF151515},
        {"padlock: shackle top", 48, 72, padlock, 24, 0, 0xFFFFFFFF},
        {"padlock: body's left side", 48, 72, padlock, 0, 54, 0xFFFFFFFF},
        {"padlock: empty inside", 48, 72, padlock, 24, 20, kClear},
        // A 1-pixel line centred on x = 1 covers half of pixel column 1.
        {"editor outline: grey", 60, 20, [&lf, &editor](juce::Graphics& g) { lf.drawTextEditorOutline(g, 60, 20, editor); },
         1, 10, 0x7F9B9B9B},
    };
    for (const Probe& p : probes) expectNear(pixelOf(p), p.expected, p.what);
}

// A box whose colours are the look-and-feel's draws its arrows in its own background: they cannot be seen. A
// box with a light background of its own shows them in the look-and-feel's dark.
TEST(CorvanLookAndFeel, ComboBoxArrowsShowOnlyOnABoxWithItsOwnColours) {
    CorvanLookAndFeel& lf = lookAndFeel();
    const auto probe = [&lf](juce::ComboBox& box, int x, int y) {
        juce::Image image(juce::Image::ARGB, 100, 20, true);
        juce::Graphics g(image);
        lf.drawComboBox(g, 100, 20, false, 80, 0, 20, 20, box);
        return image.getPixelAt(x, y);
    };
    juce::ComboBox plain;
    plain.setLookAndFeel(&lf);
    // (90, 6) lies inside the upper arrow, (90, 10) between the two arrows.
    expectNear(probe(plain, 90, 6), kDark, "plain box: arrow");
    expectNear(probe(plain, 90, 10), kDark, "plain box: between the arrows");
    // The 1-pixel grey outline centred on x = 1 covers half of column 1 over the dark fill.
    expectNear(probe(plain, 1, 10), 0xFF5B5B5B, "plain box: outline");

    juce::ComboBox own;
    own.setLookAndFeel(&lf);
    own.setColour(juce::ComboBox::backgroundColourId, juce::Colour(kLight));
    expectNear(probe(own, 90, 6), kDark, "light box: arrow");
    expectNear(probe(own, 90, 10), kLight, "light box: between the arrows");
    plain.setLookAndFeel(nullptr);
    own.setLookAndFeel(nullptr);
}

// Painting must not write colours: a colour change repaints, and a paint that changes colours never rests.
TEST(CorvanLookAndFeel, PaintingLeavesEveryColourAlone) {
    CorvanLookAndFeel& lf = lookAndFeel();
    juce::ComboBox box;
    box.setLookAndFeel(&lf);
    box.addItem("one", 1);
    box.setSelectedId(1, juce::dontSendNotification);
    box.setBounds(0, 0, 120, 22);
    const juce::NamedValueSet before = box.getProperties();
    juce::ToggleButton toggle("toggle");
    toggle.setLookAndFeel(&lf);
    toggle.setBounds(0, 0, 100, 20);
    const juce::NamedValueSet toggleBefore = toggle.getProperties();
    const juce::Colour table = lf.findColour(juce::ComboBox::textColourId);

    snapshotOf(box);
    snapshotOf(toggle);
    EXPECT_TRUE(box.getProperties() == before);
    EXPECT_TRUE(toggle.getProperties() == toggleBefore);
    EXPECT_EQ(lf.findColour(juce::ComboBox::textColourId), table);
    box.setLookAndFeel(nullptr);
    toggle.setLookAndFeel(nullptr);
}

} // namespace
} // namespace corvex
