#include "tools/artwork/BrowserArt.h"

#include "tools/artwork/ArtPalette.h"

namespace corvex::art {

namespace {

const juce::Colour kGlyph{0xFFDCE0DF};
const juce::Colour kLit{0xFF46D160};

// The key's face; returns the area its glyph takes, already moved down and right when the key is pressed.
juce::Rectangle<float> paintKeyFace(juce::Graphics& g, float width, float height, bool pressed) {
    const juce::Rectangle<float> box(0.5f, 0.5f, width - 1.0f, height - 1.0f);
    g.setGradientFill(juce::ColourGradient(pressed ? palette::kBodyDark : palette::kBodyLight, 0.0f, 0.0f,
                                           pressed ? palette::kBodyMid : palette::kBodyDark, 0.0f, height, false));
    g.fillRoundedRectangle(box, 4.0f);
    g.setColour(palette::kShadow.withAlpha(0.8f));
    g.drawRoundedRectangle(box, 4.0f, 1.0f);
    if (!pressed) {
        // The light falls from above: a thin bright lip along the top edge.
        g.setColour(juce::Colours::white.withAlpha(0.18f));
        g.drawHorizontalLine(1, 3.0f, width - 3.0f);
    }
    const float sink = pressed ? 1.0f : 0.0f;
    return box.reduced(3.0f).translated(sink, sink);
}

juce::Colour glyphColour(bool pressed) { return pressed ? palette::kPointerLight : kGlyph; }

void paintArrow(juce::Graphics& g, juce::Rectangle<float> area, bool left) {
    const juce::Point<float> c = area.getCentre();
    juce::Path arrow;
    const float s = left ? -1.0f : 1.0f;
    arrow.addTriangle(c.x + 5.0f * s, c.y, c.x - 3.0f * s, c.y - 5.5f, c.x - 3.0f * s, c.y + 5.5f);
    g.fillPath(arrow);
}

void paintMapGlyph(juce::Graphics& g, juce::Rectangle<float> area) {
    // A few of the map's coloured points, scattered.
    const juce::Point<float> c = area.getCentre();
    const struct {
        float dx, dy;
        juce::uint32 argb;
    } dots[] = {{-8, -3, 0xFF00FF00}, {-2, 4, 0xFF3C8DFF}, {3, -5, 0xFFFF3A24}, {9, 2, 0xFFFFD43A}, {-9, 5, 0xFFFF8A1E}};
    for (const auto& d : dots) {
        g.setColour(juce::Colour(d.argb));
        g.fillEllipse(c.x + d.dx - 2.0f, c.y + d.dy - 2.0f, 4.0f, 4.0f);
    }
}

void paintListGlyph(juce::Graphics& g, juce::Rectangle<float> area) {
    const juce::Point<float> c = area.getCentre();
    for (int row = -1; row <= 1; ++row) {
        const float y = c.y + 5.0f * static_cast<float>(row);
        g.fillRect(c.x - 10.0f, y - 1.0f, 3.0f, 2.0f);
        g.fillRect(c.x - 5.0f, y - 1.0f, 15.0f, 2.0f);
    }
}

void paintMorpherGlyph(juce::Graphics& g, juce::Rectangle<float> area) {
    const juce::Point<float> c = area.getCentre();
    const juce::Point<float> ends[] = {{c.x, c.y - 7.0f}, {c.x + 10.0f, c.y}, {c.x, c.y + 7.0f}, {c.x - 10.0f, c.y}};
    for (const auto& e : ends) {
        g.drawLine(c.x, c.y, e.x, e.y, 1.0f);
        g.fillEllipse(e.x - 2.0f, e.y - 2.0f, 4.0f, 4.0f);
    }
    g.setColour(juce::Colour(0xFFFF3A24));
    g.fillEllipse(c.x - 1.5f, c.y - 1.5f, 3.0f, 3.0f);
}

} // namespace

void paintBarKey(juce::Graphics& g, BarGlyph glyph, bool pressed) {
    const juce::Rectangle<float> area = paintKeyFace(g, kBarKeyWidth, kBarKeyHeight, pressed);
    g.setColour(glyphColour(pressed));
    switch (glyph) {
    case BarGlyph::kPrevious: paintArrow(g, area, true); break;
    case BarGlyph::kNext: paintArrow(g, area, false); break;
    case BarGlyph::kShowMap: paintMapGlyph(g, area); break;
    case BarGlyph::kShowList: paintListGlyph(g, area); break;
    case BarGlyph::kShowMorpher: paintMorpherGlyph(g, area); break;
    }
}

void paintSnapshotKey(juce::Graphics& g, int memory, SnapshotKey kind) {
    const bool pressed = kind == SnapshotKey::kPressed;
    const juce::Rectangle<float> area = paintKeyFace(g, kBarKeyWidth, kBarKeyHeight, pressed);
    // A lamp on the left says whether the memory holds a preset.
    const juce::Rectangle<float> lamp(area.getX() + 1.0f, area.getCentreY() - 3.0f, 6.0f, 6.0f);
    if (kind == SnapshotKey::kRecall) {
        g.setColour(kLit);
        g.fillEllipse(lamp);
    } else {
        g.setColour(glyphColour(pressed).withAlpha(0.7f));
        g.drawEllipse(lamp, 1.0f);
    }
    g.setColour(kind == SnapshotKey::kRecall ? kLit : glyphColour(pressed));
    g.setFont(juce::Font("DejaVu Sans", 11.0f, juce::Font::bold));
    g.drawText("#" + juce::String(memory), area.withTrimmedLeft(8.0f), juce::Justification::centred, false);
}

void paintBarToolsKey(juce::Graphics& g) {
    const juce::Rectangle<float> area = paintKeyFace(g, kBarToolsKeySize, kBarToolsKeySize, false);
    g.setColour(kGlyph);
    const juce::Point<float> c = area.getCentre();
    for (int k = -1; k <= 1; ++k) g.fillEllipse(c.x + 5.0f * static_cast<float>(k) - 1.5f, c.y - 1.5f, 3.0f, 3.0f);
}

void paintBrowserBar(juce::Graphics& g) {
    const float w = kBrowserBarWidth;
    const float h = kBrowserBarHeight;
    g.setGradientFill(juce::ColourGradient(juce::Colour(0xFF45484D), 0.0f, 0.0f, juce::Colour(0xFF232427), 0.0f, h,
                                           false));
    g.fillAll();
    g.setColour(juce::Colours::white.withAlpha(0.15f));
    g.drawHorizontalLine(0, 0.0f, w);
    g.setColour(palette::kShadow.withAlpha(0.7f));
    g.drawHorizontalLine(kBrowserBarHeight - 1, 0.0f, w);

    // Grooves between the key groups: history and name, snapshot memories, tools, views.
    for (const float x : {230.0f, 255.0f, 418.0f, 514.0f}) {
        g.setColour(palette::kShadow.withAlpha(0.6f));
        g.drawVerticalLine(static_cast<int>(x), 4.0f, h - 4.0f);
        g.setColour(juce::Colours::white.withAlpha(0.12f));
        g.drawVerticalLine(static_cast<int>(x) + 1, 4.0f, h - 4.0f);
    }

    // The well of the name field, sunk into the strip.
    const juce::Rectangle<float> well(85.0f, 5.0f, 141.0f, 23.0f);
    g.setColour(juce::Colour(0xFF0B0C0C));
    g.fillRoundedRectangle(well, 3.0f);
    g.setColour(palette::kShadow);
    g.drawRoundedRectangle(well, 3.0f, 1.0f);
    g.setColour(juce::Colours::white.withAlpha(0.12f));
    g.drawHorizontalLine(static_cast<int>(well.getBottom()), well.getX() + 3.0f, well.getRight() - 3.0f);
}

void paintMorpherGround(juce::Graphics& g) {
    const float size = kMorpherGroundSize;
    const juce::Point<float> c(size / 2.0f, size / 2.0f);
    g.setGradientFill(juce::ColourGradient(juce::Colour(0xFF34383A), c.x, c.y, juce::Colour(0xFF161718), 0.0f, 0.0f,
                                           true));
    g.fillAll();

    g.setColour(juce::Colour(0xFFDCE0DF).withAlpha(0.10f));
    for (const float r : {56.0f, 112.0f, 168.0f, 224.0f}) g.drawEllipse(c.x - r, c.y - r, 2.0f * r, 2.0f * r, 1.0f);

    // The snapshots sit 32 pixels in from each edge's middle.
    const juce::Point<float> places[] = {{256.0f, 32.0f}, {480.0f, 256.0f}, {256.0f, 480.0f}, {32.0f, 256.0f}};
    juce::Path diamond;
    diamond.addPolygon(c, 4, 224.0f, 0.0f);
    g.setColour(juce::Colour(0xFFDCE0DF).withAlpha(0.18f));
    g.strokePath(diamond, juce::PathStrokeType(1.0f));
    // The snapshots' 32-pixel buttons lie a little inside their places.
    const juce::Point<float> buttons[] = {{256.0f, 49.0f}, {463.0f, 256.0f}, {256.0f, 463.0f}, {50.0f, 256.0f}};
    for (const auto& p : places) {
        g.setColour(juce::Colour(0xFFDCE0DF).withAlpha(0.22f));
        g.drawLine(c.x, c.y, p.x, p.y, 1.0f);
    }
    for (const auto& b : buttons) {
        g.setColour(juce::Colour(0xFF0B0C0C));
        g.fillEllipse(b.x - 20.0f, b.y - 20.0f, 40.0f, 40.0f);
        g.setColour(juce::Colour(0xFFDCE0DF).withAlpha(0.3f));
        g.drawEllipse(b.x - 20.0f, b.y - 20.0f, 40.0f, 40.0f, 1.0f);
    }
    g.setColour(juce::Colour(0xFFDCE0DF).withAlpha(0.4f));
    g.fillEllipse(c.x - 3.0f, c.y - 3.0f, 6.0f, 6.0f);
}

} // namespace corvex::art
