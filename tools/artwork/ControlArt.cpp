// The small controls.
#include "tools/artwork/ControlArt.h"

#include "tools/artwork/ArtPalette.h"

namespace corvex::art {

namespace {

juce::Path roundedBox(juce::Rectangle<float> r, float corner) {
    juce::Path p;
    p.addRoundedRectangle(r, corner);
    return p;
}

// A face lit from above: lighter at the top, with a bright top edge and a dark bottom edge.
void paintBevelledBox(juce::Graphics& g, juce::Rectangle<float> r, float corner, juce::Colour light,
                      juce::Colour dark) {
    juce::ColourGradient face(light, 0.0f, r.getY(), dark, 0.0f, r.getBottom(), false);
    g.setGradientFill(face);
    g.fillRoundedRectangle(r, corner);
    g.setColour(juce::Colours::white.withAlpha(0.35f));
    g.drawLine(r.getX() + corner, r.getY() + 0.6f, r.getRight() - corner, r.getY() + 0.6f, 0.8f);
    g.setColour(palette::kShadow.withAlpha(0.55f));
    g.drawRoundedRectangle(r, corner, 0.8f);
}

} // namespace

void paintThumb(juce::Graphics& g, skin::Size size, juce::Colour grip) {
    const float capWidth = static_cast<float>(juce::jmin(size.width, skin::kSlider.width)) - 3.0f;
    const float x = 0.5f * (static_cast<float>(size.width) - capWidth) - 0.5f;
    const juce::Rectangle<float> cap(x, 1.0f, capWidth, static_cast<float>(size.height) - 3.0f);
    dropShadow(g, roundedBox(cap, 2.0f), 1.0f, 0.55f);
    paintBevelledBox(g, cap, 2.0f, palette::kMetalLight, palette::kMetalDark);
    // Grip grooves across the cap, with the centre one coloured: the line the eye reads the value at.
    const float cy = cap.getCentreY();
    for (int i = -1; i <= 1; ++i) {
        const float y = cy + 3.0f * static_cast<float>(i);
        if (y < cap.getY() + 1.5f || y > cap.getBottom() - 1.5f) continue;
        g.setColour(i == 0 ? grip : palette::kShadow.withAlpha(0.35f));
        g.fillRect(cap.getX() + 2.0f, y - (i == 0 ? 0.75f : 0.4f), cap.getWidth() - 4.0f, i == 0 ? 1.5f : 0.8f);
    }
}

void paintLever(juce::Graphics& g, skin::Size cell, int frame, int frames) {
    const float w = static_cast<float>(cell.width);
    const float h = static_cast<float>(cell.height);
    const juce::Point<float> pivot(w * 0.5f, h * 0.5f);
    // A hex nut around the bushing.
    const float nut = 0.33f * juce::jmin(w, h);
    juce::Path hex;
    hex.addPolygon(pivot, 6, nut, juce::MathConstants<float>::pi / 6.0f);
    dropShadow(g, hex, 1.0f, 0.5f);
    juce::ColourGradient metal(palette::kMetalLight, pivot.x - nut, pivot.y - nut, palette::kMetalDark,
                               pivot.x + nut, pivot.y + nut, false);
    g.setGradientFill(metal);
    g.fillPath(hex);
    g.setColour(palette::kShadow.withAlpha(0.5f));
    g.strokePath(hex, juce::PathStrokeType(0.7f));
    g.setColour(palette::kBodyDark);
    g.fillEllipse(pivot.x - nut * 0.55f, pivot.y - nut * 0.55f, nut * 1.1f, nut * 1.1f);

    // The bat handle: up at frame 0, down at the last frame, straight out (foreshortened to a dot) between.
    const float t = frames > 1 ? static_cast<float>(frame) / static_cast<float>(frames - 1) : 0.0f;
    const float reach = 0.5f * h - 3.0f;
    const float tipY = pivot.y + (2.0f * t - 1.0f) * reach;
    const float tipR = 0.21f * w;
    juce::Path bat;
    bat.startNewSubPath(pivot.x - 1.6f, pivot.y);
    bat.lineTo(pivot.x - tipR * 0.8f, tipY);
    bat.lineTo(pivot.x + tipR * 0.8f, tipY);
    bat.lineTo(pivot.x + 1.6f, pivot.y);
    bat.closeSubPath();
    bat.addEllipse(pivot.x - tipR, tipY - tipR, 2 * tipR, 2 * tipR);
    dropShadow(g, bat, 1.5f, 0.55f);
    juce::ColourGradient chrome(palette::kMetalLight, pivot.x - tipR, 0.0f, palette::kMetalDark, pivot.x + tipR, 0.0f,
                                false);
    chrome.addColour(0.3, juce::Colours::white);
    g.setGradientFill(chrome);
    g.fillPath(bat);
    g.setColour(juce::Colours::white.withAlpha(0.85f));
    g.fillEllipse(pivot.x - tipR * 0.5f, tipY - tipR * 0.6f, tipR * 0.6f, tipR * 0.5f);
    g.setColour(palette::kShadow.withAlpha(0.45f));
    g.strokePath(bat, juce::PathStrokeType(0.6f));
}

// A square cap in a dark bezel with the lamp set into its upper half; pressed, the cap sinks and darkens.
void paintLedButton(juce::Graphics& g, juce::Colour lamp, bool on, bool pressed) {
    const float w = static_cast<float>(skin::kLedButton.width);
    const float h = static_cast<float>(skin::kLedButton.height);
    const juce::Rectangle<float> bezel(0.5f, 0.5f, w - 1.0f, h - 1.0f);
    g.setColour(palette::kShadow.withAlpha(0.9f));
    g.fillRoundedRectangle(bezel, 2.5f);
    const float sink = pressed ? 1.0f : 0.0f;
    const auto cap = juce::Rectangle<float>(2.0f, 2.0f, w - 4.0f, h - 4.5f).translated(0.0f, sink);
    if (!pressed) dropShadow(g, roundedBox(cap, 2.0f), 0.8f, 0.6f);
    paintBevelledBox(g, cap, 2.0f, pressed ? palette::kBodyMid : palette::kBodyLight,
                     pressed ? palette::kBodyDark : palette::kBodyMid);
    // A well for the lamp keeps its glow inside the cap.
    g.saveState();
    g.reduceClipRegion(cap.toNearestInt());
    const auto glass = juce::Rectangle<float>(cap.getCentreX() - 3.5f, cap.getY() + 3.0f, 7.0f, 7.0f);
    g.setColour(palette::kShadow.withAlpha(0.6f));
    g.fillEllipse(glass.expanded(1.0f));
    paintLamp(g, glass, lamp, on);
    g.restoreState();
    // Two grooves below the lamp: the place for the finger.
    for (int i = 0; i < 2; ++i) {
        const float y = cap.getY() + 14.5f + 3.0f * static_cast<float>(i);
        g.setColour(palette::kShadow.withAlpha(0.5f));
        g.fillRect(cap.getX() + 3.0f, y, cap.getWidth() - 6.0f, 0.8f);
        g.setColour(juce::Colours::white.withAlpha(0.12f));
        g.fillRect(cap.getX() + 3.0f, y + 0.8f, cap.getWidth() - 6.0f, 0.6f);
    }
}

void paintLfoButton(juce::Graphics& g, bool on) {
    const float w = static_cast<float>(skin::kLfoButton.width);
    const float h = static_cast<float>(skin::kLfoButton.height);
    const juce::Rectangle<float> bezel(0.5f, 0.5f, w - 1.0f, h - 1.0f);
    g.setColour(palette::kShadow.withAlpha(0.9f));
    g.fillRoundedRectangle(bezel, 3.0f);
    const auto cap = juce::Rectangle<float>(2.0f, 2.0f, w - 4.0f, h - 4.5f).translated(0.0f, on ? 1.0f : 0.0f);
    if (!on) dropShadow(g, roundedBox(cap, 2.5f), 0.8f, 0.6f);
    paintBevelledBox(g, cap, 2.5f, on ? palette::kBodyMid : palette::kBodyLight,
                     on ? palette::kBodyDark : palette::kBodyMid);
    // A lamp bar across the cap: the trigger flashes it while held.
    const auto bar = cap.reduced(5.0f, 4.5f);
    g.setColour(palette::kShadow.withAlpha(0.7f));
    g.fillRoundedRectangle(bar.expanded(1.0f), 2.0f);
    if (on) {
        juce::ColourGradient glow(palette::kAccent.brighter(0.9f), bar.getCentreX(), bar.getCentreY(),
                                  palette::kAccent, bar.getRight(), bar.getCentreY(), true);
        g.setGradientFill(glow);
    } else {
        juce::ColourGradient dim(palette::kAccent.withMultipliedBrightness(0.45f), 0.0f, bar.getY(),
                                 palette::kAccent.withMultipliedBrightness(0.2f), 0.0f, bar.getBottom(), false);
        g.setGradientFill(dim);
    }
    g.fillRoundedRectangle(bar, 1.5f);
    g.setColour(juce::Colours::white.withAlpha(on ? 0.6f : 0.25f));
    g.fillRect(bar.getX() + 1.5f, bar.getY() + 0.6f, bar.getWidth() - 3.0f, 0.8f);
}

void paintCloseButton(juce::Graphics& g) {
    const float s = static_cast<float>(skin::kCloseButton.width);
    g.setColour(juce::Colours::white);
    g.drawEllipse(0.75f, 0.75f, s - 1.5f, s - 1.5f, 1.2f);
    const float a = 3.75f;
    const float b = s - 3.75f;
    g.drawLine(a, a, b, b, 1.3f);
    g.drawLine(a, b, b, a, 1.3f);
}

void paintLfoLed(juce::Graphics& g, bool lit) {
    const auto area = juce::Rectangle<float>(0.0f, 0.0f, static_cast<float>(skin::kLfoLed.width),
                                             static_cast<float>(skin::kLfoLed.height))
                          .withSizeKeepingCentre(7.0f, 7.0f);
    paintLamp(g, area, juce::Colour(0xFFFF4A24), lit);
}

} // namespace corvex::art
