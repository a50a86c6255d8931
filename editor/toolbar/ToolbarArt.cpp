// The toolbar's pictures.
#include "editor/toolbar/ToolbarArt.h"

#include <functional>

#include "widgets/CorvanLookAndFeel.h"

namespace corvex::toolbarart {

namespace {

const juce::Colour kDark{CorvanLookAndFeel::kDark};
const juce::Colour kGrey{CorvanLookAndFeel::kGrey};
const juce::Colour kLight{CorvanLookAndFeel::kLight};
const juce::Colour kAccent{CorvanLookAndFeel::kAccent};

// Hash codes of our own pictures in the image cache: far from the small numbers anything else might use.
constexpr juce::int64 kHashBase = 0x436f7276'54420000;

juce::Image cached(juce::int64 hash, int width, int height, const std::function<void(juce::Graphics&)>& paint) {
    const juce::int64 key = kHashBase + hash;
    juce::Image image = juce::ImageCache::getFromHashCode(key);
    if (image.isValid()) return image;
    // A software image, so that the pixels never depend on a graphics driver.
    image = juce::Image(juce::Image::ARGB, width, height, true, juce::SoftwareImageType());
    {
        juce::Graphics g(image);
        paint(g);
    }
    juce::ImageCache::addImageToCache(image, key);
    return image;
}

// A brushed dark bar, lighter at the top edge, as the panel's metal is lit from above.
void paintBar(juce::Graphics& g, int width, int height) {
    g.setGradientFill(juce::ColourGradient(juce::Colour(0xFF34363B), 0.0f, 0.0f, juce::Colour(0xFF141517), 0.0f,
                                           static_cast<float>(height), false));
    g.fillAll();
    g.setColour(juce::Colours::white.withAlpha(0.08f));
    for (int y = 2; y < height; y += 3) g.drawHorizontalLine(y, 0.0f, static_cast<float>(width));
    g.setColour(juce::Colours::white.withAlpha(0.25f));
    g.drawHorizontalLine(0, 0.0f, static_cast<float>(width));
    g.setColour(juce::Colours::black);
    g.drawHorizontalLine(height - 1, 0.0f, static_cast<float>(width));
}

void paintFloppy(juce::Graphics& g, juce::Rectangle<float> r, juce::Colour ink) {
    juce::Path body;
    body.addRoundedRectangle(r, 1.5f);
    g.setColour(ink);
    g.strokePath(body, juce::PathStrokeType(1.2f));
    g.fillRect(r.withTrimmedLeft(r.getWidth() * 0.25f).withTrimmedRight(r.getWidth() * 0.25f).withHeight(r.getHeight() * 0.35f));
    g.drawRect(r.withTrimmedTop(r.getHeight() * 0.55f).reduced(r.getWidth() * 0.18f, 0.0f).withTrimmedBottom(1.0f), 1.0f);
}

void paintTriangle(juce::Graphics& g, juce::Rectangle<float> r, bool up, juce::Colour ink) {
    juce::Path p;
    if (up)
        p.addTriangle(r.getCentreX(), r.getY(), r.getRight(), r.getBottom(), r.getX(), r.getBottom());
    else
        p.addTriangle(r.getX(), r.getY(), r.getRight(), r.getY(), r.getCentreX(), r.getBottom());
    g.setColour(ink);
    g.fillPath(p);
}

void paintIcon(juce::Graphics& g, Icon icon, juce::Rectangle<float> r, juce::Colour ink) {
    switch (icon) {
    case Icon::save: paintFloppy(g, r.withSizeKeepingCentre(14.0f, 14.0f), ink); break;
    case Icon::saveAs: {
        paintFloppy(g, r.withSizeKeepingCentre(14.0f, 14.0f).translated(-3.0f, 0.0f), ink);
        g.setColour(ink);
        g.setFont(juce::Font(CorvanLookAndFeel::kTypefaceName, 11.0f, juce::Font::bold));
        g.drawText("+", r.withTrimmedLeft(r.getWidth() * 0.62f), juce::Justification::centred, false);
        break;
    }
    case Icon::up: paintTriangle(g, r.reduced(4.0f, 2.0f), true, ink); break;
    case Icon::down: paintTriangle(g, r.reduced(4.0f, 2.0f), false, ink); break;
    case Icon::map: {
        // Points scattered on a plane: the map of patches.
        g.setColour(ink);
        g.drawRect(r.reduced(9.0f, 4.0f), 1.0f);
        const juce::Point<float> dots[] = {{0.3f, 0.4f}, {0.55f, 0.3f}, {0.45f, 0.65f}, {0.7f, 0.6f}, {0.62f, 0.45f}};
        const juce::Rectangle<float> area = r.reduced(11.0f, 6.0f);
        for (const auto& d : dots)
            g.fillEllipse(area.getX() + d.x * area.getWidth() - 1.5f, area.getY() + d.y * area.getHeight() - 1.5f,
                          3.0f, 3.0f);
        break;
    }
    case Icon::lcdShow:
    case Icon::lcdHide: {
        // A screen, lit while the LCD is to be shown.
        const juce::Rectangle<float> screen = r.reduced(10.0f, 5.0f);
        g.setColour(ink);
        g.drawRoundedRectangle(screen, 2.0f, 1.2f);
        if (icon == Icon::lcdShow) g.fillRect(screen.reduced(2.5f));
        else g.drawLine(screen.getX() + 2.5f, screen.getCentreY(), screen.getRight() - 2.5f, screen.getCentreY(), 1.2f);
        break;
    }
    }
}

} // namespace

juce::Rectangle<int> buttonSize(Icon icon) {
    switch (icon) {
    case Icon::save:
    case Icon::saveAs: return {30, 22};
    case Icon::up:
    case Icon::down: return {15, 9};
    case Icon::map:
    case Icon::lcdShow:
    case Icon::lcdHide: return {37, 22};
    }
    return {};
}

juce::Image toolbarBackground() {
    return cached(1, kToolbarWidth, kToolbarHeight, [](juce::Graphics& g) {
        paintBar(g, kToolbarWidth, kToolbarHeight);
        // Grooves between the toolbar's groups of controls.
        g.setColour(juce::Colours::black.withAlpha(0.6f));
        for (const int x : {72, 320, 508, 590, 770, 886, 934}) g.drawVerticalLine(x, 3.0f, kToolbarHeight - 3.0f);
        g.setColour(kGrey);
        g.setFont(juce::Font(CorvanLookAndFeel::kTypefaceName, 9.0f, juce::Font::plain));
        g.drawText("Poly", 566, 0, 30, kToolbarHeight, juce::Justification::centredRight, false);
        g.drawText("Priority", 640, 0, 56, kToolbarHeight, juce::Justification::centredRight, false);
        g.drawText("Unison", 744, 0, 36, kToolbarHeight, juce::Justification::centredRight, false);
    });
}

juce::Image editorStrip() {
    return cached(2, kStripWidth, kStripHeight, [](juce::Graphics& g) {
        paintBar(g, kStripWidth, kStripHeight);
        g.setColour(kLight.withAlpha(0.85f));
        g.setFont(juce::Font(CorvanLookAndFeel::kTypefaceName, 22.0f, juce::Font::bold));
        g.drawText("CORVEX", 24, 0, 200, kStripHeight, juce::Justification::centredLeft, false);
        g.setColour(kAccent);
        g.setFont(juce::Font(CorvanLookAndFeel::kTypefaceName, 22.0f, juce::Font::plain));
        g.drawText("2", 128, 0, 30, kStripHeight, juce::Justification::centredLeft, false);
        g.setColour(kGrey);
        g.setFont(juce::Font(CorvanLookAndFeel::kTypefaceName, 10.0f, juce::Font::plain));
        g.drawText("TWO-LAYER ANALOG POLYSYNTH", kStripWidth - 240, 0, 216, kStripHeight,
                   juce::Justification::centredRight, false);
    });
}

juce::Image buttonFace(Icon icon, Face face) {
    const juce::Rectangle<int> size = buttonSize(icon);
    const juce::int64 hash = 16 + static_cast<int>(icon) * 4 + static_cast<int>(face);
    return cached(hash, size.getWidth(), size.getHeight(), [icon, face, size](juce::Graphics& g) {
        const juce::Rectangle<float> r = size.toFloat();
        const bool small = icon == Icon::up || icon == Icon::down;
        if (!small) {
            g.setColour(face == Face::pressed ? kDark : juce::Colour(0xFF2A2B2F));
            g.fillRoundedRectangle(r.reduced(0.5f), 3.0f);
            g.setColour(face == Face::pressed ? kAccent : kGrey.withAlpha(0.6f));
            g.drawRoundedRectangle(r.reduced(0.5f), 3.0f, 1.0f);
        }
        const juce::Colour ink = face == Face::disabled ? kGrey.withAlpha(0.35f)
                                 : face == Face::pressed ? kAccent
                                                         : kLight;
        paintIcon(g, icon, r, ink);
    });
}

juce::Image midiLed(bool lit) {
    return cached(lit ? 3 : 4, kLedSize, kLedSize, [lit](juce::Graphics& g) {
        const juce::Rectangle<float> r(0.5f, 0.5f, kLedSize - 1.0f, kLedSize - 1.0f);
        const juce::Colour lamp(0xFF46D160);
        g.setGradientFill(juce::ColourGradient(lit ? lamp.brighter(0.8f) : lamp.darker(1.6f), r.getCentreX() - 1.5f,
                                               r.getCentreY() - 1.5f, lit ? lamp : lamp.darker(3.0f), r.getRight(),
                                               r.getBottom(), true));
        g.fillEllipse(r);
        g.setColour(juce::Colours::black.withAlpha(0.7f));
        g.drawEllipse(r, 1.0f);
    });
}

} // namespace corvex::toolbarart
