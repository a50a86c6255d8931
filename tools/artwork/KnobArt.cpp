// The rotary pictures.
#include "tools/artwork/KnobArt.h"

#include <cmath>

#include "tools/artwork/ArtPalette.h"
#include "widgets/CvnSkinSizes.h"

namespace corvex::art {

namespace {

constexpr float kPi = juce::MathConstants<float>::pi;

juce::Point<float> onCircle(juce::Point<float> centre, float radius, float angle) {
    return {centre.x + radius * std::sin(angle), centre.y - radius * std::cos(angle)};
}

juce::Path disc(juce::Point<float> c, float r) {
    juce::Path p;
    p.addEllipse(c.x - r, c.y - r, 2 * r, 2 * r);
    return p;
}

// Grip ribs around a rim: they turn with the knob, darker where the rim faces away from the light.
void paintRibs(juce::Graphics& g, juce::Point<float> c, float inner, float outer, int count, float angle) {
    for (int i = 0; i < count; ++i) {
        const float a = angle + 2.0f * kPi * static_cast<float>(i) / static_cast<float>(count);
        // Facing the upper left (a = -45 degrees) the rib catches the light.
        const float lit = 0.5f + 0.5f * std::cos(a + 0.25f * kPi);
        g.setColour(palette::kBodyLight.interpolatedWith(palette::kShadow, 0.75f - 0.6f * lit).withAlpha(0.9f));
        g.drawLine(juce::Line<float>(onCircle(c, inner, a), onCircle(c, outer, a)), 1.0f);
    }
}

void paintPointer(juce::Graphics& g, juce::Point<float> c, float from, float to, float angle, juce::Colour colour,
                  float thickness) {
    const juce::Line<float> line(onCircle(c, from, angle), onCircle(c, to, angle));
    g.setColour(palette::kShadow.withAlpha(0.45f));
    const juce::Point<float> away(0.7f, 0.9f);
    g.drawLine(juce::Line<float>(line.getStart() + away, line.getEnd() + away), thickness + 0.8f);
    g.setColour(colour);
    g.drawLine(line, thickness);
}

} // namespace

float knobAngle(int frame, int frames) {
    const float t = frames > 1 ? static_cast<float>(frame) / static_cast<float>(frames - 1) : 0.0f;
    return (-150.0f + 300.0f * t) * kPi / 180.0f;
}

// A ribbed black knob with an orange pointer line running to its rim.
void paintLeftKnob(juce::Graphics& g, int frame, int frames) {
    const juce::Point<float> c(skin::kKnob.width * 0.5f, skin::kKnob.height * 0.5f - 0.5f);
    const float r = 15.5f;
    const float a = knobAngle(frame, frames);
    dropShadow(g, disc(c, r), 1.5f, 0.5f);
    fillDome(g, c, r, palette::kBodyLight, palette::kBodyDark);
    paintRibs(g, c, r - 3.0f, r - 0.5f, 28, a);
    fillDome(g, c, r - 3.5f, palette::kBodyMid.brighter(0.25f), palette::kBodyDark);
    g.setColour(juce::Colours::white.withAlpha(0.12f));
    g.drawEllipse(c.x - r + 3.5f, c.y - r + 3.5f, 2 * (r - 3.5f), 2 * (r - 3.5f), 0.75f);
    paintPointer(g, c, 3.0f, r - 1.0f, a, palette::kAccent.brighter(0.15f), 2.2f);
}

// A black skirt under a brushed aluminium cap, with a white line on the cap.
void paintMiddleKnob(juce::Graphics& g, int frame, int frames) {
    const juce::Point<float> c(skin::kKnob.width * 0.5f, skin::kKnob.height * 0.5f - 0.5f);
    const float r = 15.5f;
    const float cap = 10.0f;
    const float a = knobAngle(frame, frames);
    dropShadow(g, disc(c, r), 1.5f, 0.5f);
    fillDome(g, c, r, palette::kBodyLight, palette::kBodyDark);
    // The skirt's index mark shows the position at a glance from afar.
    paintPointer(g, c, cap + 1.0f, r - 1.0f, a, palette::kPointerLight, 1.6f);
    dropShadow(g, disc(c, cap), 1.0f, 0.45f);
    fillDome(g, c, cap, palette::kMetalLight, palette::kMetalDark);
    // Concentric brushing on the cap.
    for (float rr = 2.0f; rr < cap - 0.5f; rr += 1.5f) {
        g.setColour(juce::Colours::white.withAlpha(rr < cap * 0.5f ? 0.10f : 0.06f));
        g.drawEllipse(c.x - rr, c.y - rr, 2 * rr, 2 * rr, 0.5f);
    }
    g.setColour(palette::kShadow.withAlpha(0.5f));
    g.drawEllipse(c.x - cap, c.y - cap, 2 * cap, 2 * cap, 0.8f);
    paintPointer(g, c, 2.5f, cap - 1.5f, a, palette::kBodyDark, 1.6f);
}

// A wide, low knob with a knurled rim, a flat dark top and an orange dot near its edge.
void paintFlatKnob(juce::Graphics& g, int frame, int frames) {
    const juce::Point<float> c(skin::kFlatKnob.width * 0.5f, skin::kFlatKnob.height * 0.5f - 0.5f);
    const float r = 22.0f;
    const float top = 17.0f;
    const float a = knobAngle(frame, frames);
    dropShadow(g, disc(c, r), 2.0f, 0.55f);
    fillDome(g, c, r, palette::kBodyLight.brighter(0.2f), palette::kBodyDark);
    paintRibs(g, c, top + 0.5f, r - 0.5f, 48, a);
    dropShadow(g, disc(c, top), 0.8f, 0.35f);
    juce::ColourGradient face(palette::kBodyMid.brighter(0.35f), c.x - top, c.y - top, palette::kBodyDark,
                              c.x + top, c.y + top, false);
    g.setGradientFill(face);
    g.fillEllipse(c.x - top, c.y - top, 2 * top, 2 * top);
    g.setColour(juce::Colours::white.withAlpha(0.18f));
    g.drawEllipse(c.x - top + 0.5f, c.y - top + 0.5f, 2 * top - 1.0f, 2 * top - 1.0f, 0.8f);
    const auto dot = onCircle(c, top - 4.5f, a);
    g.setColour(palette::kShadow.withAlpha(0.5f));
    g.fillEllipse(dot.x - 2.2f, dot.y - 1.8f, 4.8f, 4.8f);
    g.setColour(palette::kAccent.brighter(0.2f));
    g.fillEllipse(dot.x - 2.0f, dot.y - 2.0f, 4.0f, 4.0f);
}

// A thumb wheel seen from above, turning left and right: its ridges and the orange centre line slide across the
// drum, which is lit from the left and shaded towards both ends.
void paintWheel(juce::Graphics& g, int frame, int frames) {
    const juce::Rectangle<float> slot(2.0f, 2.0f, skin::kWheel.width - 4.0f, skin::kWheel.height - 4.0f);
    g.setColour(palette::kShadow.withAlpha(0.85f));
    g.fillRoundedRectangle(slot, 3.0f);
    const auto drum = slot.reduced(2.0f, 3.0f);
    juce::ColourGradient shade(palette::kBodyDark, drum.getX(), 0.0f, palette::kBodyDark, drum.getRight(), 0.0f,
                               false);
    shade.addColour(0.35, palette::kBodyLight.brighter(0.3f));
    shade.addColour(0.6, palette::kBodyMid);
    g.setGradientFill(shade);
    g.fillRect(drum);

    // The drum's surface turns through 120 degrees from end to end; x = radius sin(angle) projects it.
    const float turn = knobAngle(frame, frames) * 0.4f;
    const float radius = drum.getWidth() * 0.5f;
    const float cx = drum.getCentreX();
    constexpr int kRidges = 36;
    for (int i = 0; i < kRidges; ++i) {
        const float a = turn + 2.0f * kPi * static_cast<float>(i) / kRidges;
        const float wrapped = std::remainder(a, 2.0f * kPi);
        if (std::abs(wrapped) > 0.47f * kPi) continue; // the far side of the drum
        const float x = cx + radius * std::sin(wrapped);
        const float facing = std::cos(wrapped);
        g.setColour(palette::kShadow.withAlpha(0.35f + 0.35f * facing));
        g.drawLine(x, drum.getY() + 1.0f, x, drum.getBottom() - 1.0f, 0.6f + 0.6f * facing);
        g.setColour(juce::Colours::white.withAlpha(0.12f * facing));
        g.drawLine(x - 1.0f, drum.getY() + 1.0f, x - 1.0f, drum.getBottom() - 1.0f, 0.6f);
    }
    const float mark = std::remainder(turn, 2.0f * kPi);
    if (std::abs(mark) < 0.47f * kPi) {
        const float x = cx + radius * std::sin(mark);
        g.setColour(palette::kAccent.withAlpha(0.35f + 0.65f * std::cos(mark)));
        g.fillRect(x - 1.25f, drum.getY(), 2.5f, drum.getHeight());
    }
    // The slot's lips throw a shadow on the drum's top and catch light on its bottom edge.
    g.setColour(palette::kShadow.withAlpha(0.5f));
    g.fillRect(drum.withHeight(2.0f));
    g.setColour(juce::Colours::white.withAlpha(0.18f));
    g.drawRoundedRectangle(slot.expanded(0.5f), 3.5f, 1.0f);
}

} // namespace corvex::art
