// What the modulation pages' tests share: the LCD page that holds a page in the product (its dark fill and the
// product look) and a snapshot of it.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include "tests/support/Snapshots.h"
#include "widgets/CorvanLookAndFeel.h"

namespace corvex::testing {

struct LcdPage : juce::Component {
    explicit LcdPage(juce::Component& page) {
        setLookAndFeel(CorvanLookAndFeel::getInstance());
        setSize(page.getWidth(), page.getHeight());
        addAndMakeVisible(page);
    }
    ~LcdPage() override {
        removeAllChildren();
        setLookAndFeel(nullptr);
    }
    void paint(juce::Graphics& g) override { g.fillAll(CorvanLookAndFeel::getInstance()->darkColour); }
};

// The page as the LCD shows it, kept under the name when snapshots are asked for.
inline juce::Image keepPageSnapshot(juce::Component& page, const juce::String& name) {
    LcdPage lcd(page);
    const juce::Image image = snapshotOf(lcd);
    EXPECT_TRUE(keepSnapshot(image, name));
    return image;
}

} // namespace corvex::testing
