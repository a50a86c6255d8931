// The kit's parameter-bound widgets, with film strips drawn here for them: the product's own pictures belong
// to the skinned widgets.
#include <map>
#include <string>

#include "tools/gallery/GallerySections.h"
#include "widgets/CorvanLookAndFeel.h"
#include "widgets/MVBKnob.h"
#include "widgets/MVBSlider.h"
#include "widgets/MVBSwitch.h"
#include "widgets/MVButtonGroup.h"
#include "widgets/MVKnob.h"
#include "widgets/MVPanel.h"
#include "widgets/MVPushButton.h"
#include "widgets/MVSlider.h"
#include "widgets/MVSwitch.h"
#include "widgets/MVSwitchButton.h"
#include "widgets/MVTabbedComponent.h"

namespace corvex::gallery {

namespace {

constexpr float kPi = juce::MathConstants<float>::pi;
const juce::Colour kSteel(0xFF5F6770);
const juce::Colour kCap(0xFF2A2D31);
const juce::Colour kMark(0xFFEFEFEF);

// Kept for the whole run: the image cache knows embedded pictures by their address.
const juce::MemoryBlock& png(const std::string& key, const std::function<juce::Image()>& draw) {
    static std::map<std::string, juce::MemoryBlock> blocks;
    auto it = blocks.find(key);
    if (it == blocks.end()) {
        juce::MemoryBlock block;
        juce::MemoryOutputStream out(block, false);
        juce::PNGImageFormat().writeImageToStream(draw(), out);
        out.flush();
        it = blocks.emplace(key, std::move(block)).first;
    }
    return it->second;
}

// 64 frames of a 40 x 40 knob cap turning from lower left to lower right.
juce::Image knobStrip() {
    constexpr int size = 40;
    juce::Image image(juce::Image::ARGB, size, 64 * size, true);
    juce::Graphics g(image);
    for (int f = 0; f < 64; ++f) {
        const float top = static_cast<float>(f * size);
        g.setColour(kSteel);
        g.fillEllipse(3.0f, top + 3.0f, 34.0f, 34.0f);
        g.setColour(kCap);
        g.fillEllipse(6.0f, top + 6.0f, 28.0f, 28.0f);
        const float angle = kPi * (-0.75f + 1.5f * static_cast<float>(f) / 63.0f);
        g.setColour(kMark);
        g.drawLine(20.0f + 5.0f * std::sin(angle), top + 20.0f - 5.0f * std::cos(angle),
                   20.0f + 13.0f * std::sin(angle), top + 20.0f - 13.0f * std::cos(angle), 2.5f);
    }
    return image;
}

juce::Image sliderThumb() {
    juce::Image image(juce::Image::ARGB, 25, 12, true);
    juce::Graphics g(image);
    g.setColour(kSteel);
    g.fillRoundedRectangle(1.0f, 1.0f, 23.0f, 10.0f, 2.0f);
    g.setColour(kMark);
    g.drawLine(3.0f, 6.0f, 22.0f, 6.0f, 1.5f);
    return image;
}

// Three 18 x 31 frames, the lever up, centred and down (the bottom frame is position 0).
juce::Image switchStrip() {
    juce::Image image(juce::Image::ARGB, 18, 93, true);
    juce::Graphics g(image);
    for (int f = 0; f < 3; ++f) {
        const float top = static_cast<float>(f * 31);
        g.setColour(kCap);
        g.fillRoundedRectangle(2.0f, top + 2.0f, 14.0f, 27.0f, 3.0f);
        g.setColour(kMark);
        g.fillRoundedRectangle(4.0f, top + 4.0f + 9.0f * static_cast<float>(f), 10.0f, 5.0f, 1.5f);
    }
    return image;
}

juce::Image led(bool on, bool pressed) {
    juce::Image image(juce::Image::ARGB, 16, 26, true);
    juce::Graphics g(image);
    g.setColour(kCap.brighter(pressed ? 0.3f : 0.0f));
    g.fillRoundedRectangle(1.0f, 1.0f, 14.0f, 24.0f, 3.0f);
    g.setColour(on ? juce::Colour(0xFF7FD35B) : juce::Colour(0xFF2F4A27));
    g.fillEllipse(4.0f, 4.0f, 8.0f, 8.0f);
    return image;
}

juce::Image panelBackground() {
    juce::Image image(juce::Image::RGB, 64, 32, false);
    juce::Graphics g(image);
    g.setGradientFill(juce::ColourGradient(juce::Colour(0xFF3A4048), 0.0f, 0.0f, juce::Colour(0xFF15181C), 64.0f,
                                           32.0f, false));
    g.fillAll();
    return image;
}

struct ButtonRow : juce::Component {
    juce::OwnedArray<juce::Button> buttons;
};

template <typename Make>
std::unique_ptr<MVSwitchButton> switchButton(GalleryGui& gui, int index, Make&& block) {
    const juce::MemoryBlock& off = block("off", false, false);
    const juce::MemoryBlock& offDown = block("offDown", false, true);
    const juce::MemoryBlock& on = block("on", true, false);
    const juce::MemoryBlock& onDown = block("onDown", true, true);
    return std::make_unique<MVSwitchButton>(&gui, index, off.getData(), off.getSize(), offDown.getData(),
                                            offDown.getSize(), on.getData(), on.getSize(), onDown.getData(),
                                            onDown.getSize());
}

} // namespace

std::unique_ptr<GallerySection> makeKitSection(GalleryGui& gui) {
    auto section = std::make_unique<GallerySection>("Widget kit", juce::Colour(0xFF30343A), juce::Colours::white);
    GallerySection& s = *section;
    const auto ledBlock = [](const char* name, bool on, bool pressed) -> const juce::MemoryBlock& {
        return png(std::string("led-") + name, [=] { return led(on, pressed); });
    };

    // The plain knob and slider draw nothing but their highlight frame; the gallery lights it.
    gui.setValue(100, 0.3f);
    auto& plainKnob = s.add(std::make_unique<MVKnob>(&gui, 100), "MVKnob");
    plainKnob.setSize(40, 40);
    const juce::MemoryBlock& knob = png("knob", knobStrip);
    gui.setValue(101, 0.7f);
    s.add(std::make_unique<MVBKnob>(&gui, 101, knob.getData(), knob.getSize()), "MVBKnob").setSize(40, 40);
    auto& plainSlider = s.add(std::make_unique<MVSlider>(&gui, 102), "MVSlider");
    plainSlider.setSize(25, 80);
    const juce::MemoryBlock& thumb = png("thumb", sliderThumb);
    gui.setValue(103, 0.6f);
    s.add(std::make_unique<MVBSlider>(&gui, 103, thumb.getData(), thumb.getSize()), "MVBSlider").setSize(25, 80);
    gui.setHighlight(100, 1);
    gui.setHighlight(102, 2);

    gui.setValue(104, 0.5f);
    s.add(std::make_unique<MVSwitch>(&gui, 104, 3, false), "MVSwitch").setSize(24, 60);
    const juce::MemoryBlock& strip = png("switch", switchStrip);
    gui.setValue(105, 0.9f);
    s.add(std::make_unique<MVBSwitch>(&gui, 105, 3, false, strip.getData(), strip.getSize()), "MVBSwitch")
        .setSize(18, 31);

    gui.setValue(106, 1.0f);
    s.add(switchButton(gui, 106, ledBlock), "MVSwitchButton on").setSize(16, 26);
    s.add(switchButton(gui, 107, ledBlock), "MVSwitchButton off").setSize(16, 26);
    s.add(std::make_unique<MVPushButton>(&gui), "MVPushButton").setSize(MVPushButton::kWidth, MVPushButton::kHeight);

    // Three buttons in a radio group on one index, the middle one chosen, side by side in one cell.
    gui.setValue(108, 0.5f);
    auto row = std::make_unique<ButtonRow>();
    auto group = std::make_shared<MVButtonGroup>(&gui, 108);
    for (int i = 0; i < 3; ++i) {
        juce::Button* b = row->buttons.add(switchButton(gui, -1, ledBlock).release());
        b->setBounds(22 * i, 0, 16, 26);
        row->addAndMakeVisible(b);
        group->addButton(b);
    }
    row->setSize(60, 26);
    s.add(std::move(row), "MVButtonGroup");
    s.keep(group);

    auto tabs = std::make_unique<MVTabbedComponent>(CorvanLookAndFeel::getInstance());
    for (const char* name : {"Presets", "Modulation", "Effects"}) {
        auto page = std::make_unique<juce::Label>(name, juce::String(name) + " page");
        page->setJustificationType(juce::Justification::centred);
        tabs->addTab(page.release(), name);
    }
    // Sized once the tabs are in: the tab shapes are made when the component is laid out.
    tabs->setSize(360, 110);
    tabs->selectTab("Modulation");
    s.add(std::move(tabs), "MVTabbedComponent");

    auto panel = std::make_unique<MVPanel>();
    panel->setBackgroundImage(panelBackground());
    panel->setSize(90, 45);
    s.add(std::move(panel), "MVPanel");

    s.layOut();
    return section;
}

} // namespace corvex::gallery
