// The tabbed component: tab geometry from the kit's look-and-feel, selection by name and by click, pages
// following the component's visibility, and a rendered panel of kit widgets.
#include <gtest/gtest.h>

#include "tests/support/FakeGui.h"
#include "tests/support/Snapshots.h"
#include "widgets/MVBKnob.h"
#include "widgets/MVLookAndFeel.h"
#include "widgets/MVPushButton.h"
#include "widgets/MVSwitch.h"
#include "widgets/MVTabbedComponent.h"

namespace corvex {
namespace {

struct KitLook : MVLookAndFeel {
    KitLook() : MVLookAndFeel(juce::Colour(0xFF1B1B1B), juce::Colour(0xFF9B9B9B)) {}
};

class TabsFixture : public ::testing::Test {
protected:
    TabsFixture() {
        for (const char* name : {"Presets", "Modulations", "Effects"}) {
            auto* page = new juce::Component(name);
            pages.push_back(page);
            tabs.addTab(page, name);
        }
        tabs.setBounds(0, 0, 400, 200);
        tabs.setVisible(true);
    }
    void click(int tab) {
        juce::Component& b = *tabs.getTabButton(tab);
        b.mouseDown(mouseEvent(b, {5, 5}));
        b.mouseUp(mouseEvent(b, {5, 5}, {}, {5, 5}));
    }
    bool onlyVisible(int tab) const {
        for (int i = 0; i < 3; ++i)
            if (pages[static_cast<size_t>(i)]->isVisible() != (i == tab)) return false;
        return true;
    }

    KitLook look;
    MVTabbedComponent tabs{&look};
    std::vector<juce::Component*> pages; // owned by tabs
};

TEST_F(TabsFixture, GeometryOfHitAreasShapesAndPages) {
    EXPECT_EQ(tabs.getTabButton(0)->getBounds(), juce::Rectangle<int>(4, 4, 110, 20));
    EXPECT_EQ(tabs.getTabButton(1)->getBounds(), juce::Rectangle<int>(104, 4, 120, 20));
    EXPECT_EQ(tabs.getTabButton(2)->getBounds(), juce::Rectangle<int>(214, 4, 120, 20));
    // Rounded corners pull the outline in a little from the corner points.
    const juce::Rectangle<float> second = tabs.getTabShape(1).getBounds();
    const juce::Rectangle<float> third = tabs.getTabShape(2).getBounds();
    EXPECT_NEAR(second.getX(), 92.0f, 1.5f);
    EXPECT_NEAR(second.getRight(), 92.0f + 144.0f, 1.5f);
    EXPECT_NEAR(third.getX(), 202.0f, 1.5f);
    EXPECT_NEAR(second.getY(), 4.0f, 0.01f);
    EXPECT_NEAR(second.getBottom(), 24.0f, 0.01f);
    const juce::Rectangle<float> frame = tabs.getFrameShape(1).getBounds();
    EXPECT_NEAR(frame.getX(), 4.0f, 0.01f);
    EXPECT_NEAR(frame.getRight(), 396.0f, 0.01f);
    EXPECT_NEAR(frame.getBottom(), 196.0f, 0.01f);
    EXPECT_TRUE(tabs.getFrameShape(1).contains(150.0f, 10.0f)) << "the second tab is joined to its frame";
    EXPECT_FALSE(tabs.getFrameShape(0).contains(150.0f, 10.0f));
    for (juce::Component* page : pages) EXPECT_EQ(page->getBounds(), juce::Rectangle<int>(5, 25, 390, 170));
}

TEST_F(TabsFixture, SelectionByNameAndByClick) {
    EXPECT_EQ(tabs.getCurrentTab(), 0);
    EXPECT_TRUE(onlyVisible(0)) << "the first page is shown at once";
    tabs.selectTab("Effects");
    EXPECT_EQ(tabs.getCurrentTab(), 2);
    EXPECT_TRUE(onlyVisible(2));
    EXPECT_FALSE(tabs.getTabButton(2)->isVisible()) << "the front tab's hit area is hidden";
    EXPECT_TRUE(tabs.getTabButton(0)->isVisible());
    tabs.selectTab("effects");
    EXPECT_EQ(tabs.getCurrentTab(), 2) << "names match exactly; none matching keeps the current tab";
    EXPECT_TRUE(onlyVisible(2));
    click(1);
    EXPECT_EQ(tabs.getCurrentTab(), 1);
    EXPECT_TRUE(onlyVisible(1));
    EXPECT_TRUE(tabs.getTabButton(2)->isVisible());
}

TEST_F(TabsFixture, HidingHidesEveryPageAndShowingOnlyTheCurrent) {
    tabs.selectTab("Modulations");
    tabs.setVisible(false);
    EXPECT_TRUE(onlyVisible(-1));
    tabs.setVisible(true);
    EXPECT_TRUE(onlyVisible(1));
}

TEST(Tabs, OneTabAndNullPages) {
    KitLook look;
    MVTabbedComponent tabs(&look);
    auto* page = new juce::Component();
    tabs.addTab(page, "Only");
    tabs.addTab(nullptr, "Empty");
    tabs.setBounds(0, 0, 300, 100);
    EXPECT_TRUE(page->isVisible());
    tabs.selectTab("Only");
    EXPECT_FALSE(tabs.getTabButton(0)->isVisible());
    tabs.selectTab("Empty");
    EXPECT_FALSE(page->isVisible());
    EXPECT_EQ(tabs.getCurrentTab(), 1);
    tabs.createComponentSnapshot(tabs.getLocalBounds()); // paints with a null page
}

// A panel of kit widgets on a tab page, written to $CORVEX_SNAPSHOT_DIR when set, for a look by eye. The
// front tab is drawn dark and open into its page; the tabs behind it are light.
TEST(Tabs, RenderedPanel) {
    KitLook look;
    FakeGui gui;
    gui.values[1] = 0.7f;
    gui.values[2] = 0.5f;
    MVTabbedComponent tabs(&look);
    auto* page = new juce::Component();
    tabs.addTab(new juce::Component(), "Presets");
    tabs.addTab(page, "Modulations");
    tabs.addTab(new juce::Component(), "Effects");
    tabs.setBounds(0, 0, 400, 160);
    tabs.selectTab("Modulations");
    const juce::MemoryBlock& strip = greyStrip(64, 48, 48);
    MVBKnob knob(&gui, 1, strip.getData(), strip.getSize());
    MVSwitch sw(&gui, 2, 3, false);
    MVPushButton push(&gui);
    page->addAndMakeVisible(knob);
    page->addAndMakeVisible(sw);
    page->addAndMakeVisible(push);
    knob.setBounds(20, 20, 48, 48);
    sw.setBounds(100, 10, 24, 80);
    push.setBounds(160, 30, MVPushButton::kWidth, MVPushButton::kHeight);
    gui.highlight(1, 2.0f);

    const juce::Image shot = tabs.createComponentSnapshot(tabs.getLocalBounds(), true, 1.0f);
    EXPECT_EQ(shot.getPixelAt(390, 150), juce::Colour(0xFF1B1B1B)) << "the page area in the outline colour";
    EXPECT_GT(shot.getPixelAt(270, 12).getBrightness(), 0.4f) << "a back tab in the face colour";
    EXPECT_LT(shot.getPixelAt(140, 8).getBrightness(), 0.2f) << "the front tab opens dark into its page";
    EXPECT_EQ(frameShownAt(shot, 5 + 20 + 24, 25 + 20 + 24), 44) << "the knob at 0.7 shows trunc(0.7 x 63)";

    keepSnapshot(shot.rescaled(800, 320), "kit-panel.png");
}

} // namespace
} // namespace corvex
