// The standard controls in the product look, and its own drawings: group outline, text cells and padlock.
#include "tools/gallery/GallerySections.h"
#include "widgets/CorvanLookAndFeel.h"

namespace corvex::gallery {

namespace {
// Paints with the look-and-feel's own drawing operations.
class Drawings : public juce::Component {
public:
    Drawings() { setSize(330, 80); }
    void paint(juce::Graphics& g) override {
        CorvanLookAndFeel& lf = *CorvanLookAndFeel::getInstance();
        g.setColour(lf.lightColour);
        lf.drawGroupOutline(g, "Group", 4, 8, 150, 68, 1.0f, lf.getDefaultFontHeight());
        g.setColour(lf.greyColour);
        lf.drawGroupOutline(g, "", 164, 8, 60, 68, 1.0f, lf.getDefaultFontHeight());
        const char* texts[] = {"Selected cell", "Cell", "Disabled cell"};
        for (int i = 0; i < 3; ++i) {
            g.saveState();
            g.setOrigin(12, 18 + 18 * i);
            lf.drawRoundedBox(g, texts[i], 130, 18, i == 0, i != 2);
            g.restoreState();
        }
        g.setColour(lf.lightColour);
        const int h = 18;
        lf.drawPadlock(g, 186, 30, 2 * (h / 3), h);
        g.setColour(lf.accentColour);
        lf.drawPadlock(g, 250, 14, 40, 56);
    }
};
} // namespace

std::unique_ptr<GallerySection> makeLookSection(GalleryGui&) {
    CorvanLookAndFeel& lf = *CorvanLookAndFeel::getInstance();
    auto section = std::make_unique<GallerySection>("Product look-and-feel", lf.darkColour.brighter(0.15f),
                                                    lf.lightColour);
    section->setLookAndFeel(&lf);
    GallerySection& s = *section;

    auto plain = std::make_unique<juce::ComboBox>("plain");
    plain->addItem("Plain box", 1);
    plain->setSelectedId(1, juce::dontSendNotification);
    plain->setSize(110, 20);
    s.add(std::move(plain), "ComboBox", 120);
    auto own = std::make_unique<juce::ComboBox>("own");
    own->addItem("Own colours", 1);
    own->setSelectedId(1, juce::dontSendNotification);
    own->setColour(juce::ComboBox::backgroundColourId, lf.lightColour);
    own->setColour(juce::ComboBox::textColourId, lf.darkColour);
    own->setColour(juce::ComboBox::buttonColourId, lf.accentColour);
    own->setSize(110, 20);
    s.add(std::move(own), "with own colours", 120);

    auto on = std::make_unique<juce::ToggleButton>("Ticked");
    on->setToggleState(true, juce::dontSendNotification);
    on->setSize(90, 22);
    s.add(std::move(on), "ToggleButton");
    auto off = std::make_unique<juce::ToggleButton>("Disabled");
    off->setEnabled(false);
    off->setSize(90, 22);
    s.add(std::move(off), "disabled");

    auto editor = std::make_unique<juce::TextEditor>("editor");
    editor->setText("Text editor", false);
    editor->setSize(110, 22);
    s.add(std::move(editor), "TextEditor", 120);
    auto label = std::make_unique<juce::Label>("label", "A label");
    label->setSize(70, 20);
    s.add(std::move(label), "Label");

    auto bar = std::make_unique<juce::ScrollBar>(true);
    bar->setRangeLimits(0.0, 100.0);
    bar->setCurrentRange(20.0, 30.0);
    bar->setSize(14, 80);
    s.add(std::move(bar), "ScrollBar", 56);
    auto across = std::make_unique<juce::ScrollBar>(false);
    across->setRangeLimits(0.0, 100.0);
    across->setCurrentRange(50.0, 20.0);
    across->setSize(120, 14);
    s.add(std::move(across), "", 130);

    s.add(std::make_unique<Drawings>(), "group outline, text cells, padlock");
    s.layOut();
    return section;
}

} // namespace corvex::gallery
