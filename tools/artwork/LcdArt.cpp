// The LCD holder's and the about panel's pictures.
#include "tools/artwork/LcdArt.h"

#include "editor/lcd/LcdArtSizes.h"
#include "tools/artwork/ArtPalette.h"

namespace corvex::art {

namespace {

juce::Rectangle<float> boxOf(lcdart::Box b) {
    return {static_cast<float>(b.x), static_cast<float>(b.y), static_cast<float>(b.width),
            static_cast<float>(b.height)};
}

juce::Font artFont(float height, int style = juce::Font::plain) { return juce::Font("DejaVu Sans", height, style); }

constexpr float kRecessMargin = 6.0f;
constexpr float kRecessCorner = 7.0f;

} // namespace

void paintLcdFrame(juce::Graphics& g) {
    const auto all = boxOf(lcdart::kHolder);
    juce::ColourGradient face(palette::kBodyLight, 0.0f, 0.0f, palette::kBodyDark, 0.0f, all.getBottom(), false);
    face.addColour(0.45, palette::kBodyMid);
    g.setGradientFill(face);
    g.fillRect(all);
    // Brushed grain: faint lines at a fixed rhythm, so the picture is the same on every run.
    for (int y = 0; y < lcdart::kHolder.height; y += 2) {
        g.setColour(juce::Colours::white.withAlpha((y / 2) % 3 == 0 ? 0.025f : 0.012f));
        g.fillRect(0.0f, static_cast<float>(y), all.getWidth(), 1.0f);
    }
    g.setColour(juce::Colours::white.withAlpha(0.18f));
    g.fillRect(0.0f, 0.0f, all.getWidth(), 1.0f);
    g.setColour(palette::kShadow.withAlpha(0.6f));
    g.fillRect(0.0f, all.getBottom() - 2.0f, all.getWidth(), 2.0f);

    // The recess the screen sits in: cut into the face, so lit on its lower right lip and shaded on its upper left.
    const auto recess = boxOf(lcdart::kScreen).expanded(kRecessMargin);
    g.setColour(juce::Colours::white.withAlpha(0.22f));
    g.fillRoundedRectangle(recess.translated(1.0f, 1.5f), kRecessCorner);
    g.setColour(palette::kShadow.withAlpha(0.85f));
    g.fillRoundedRectangle(recess, kRecessCorner);
    g.setColour(juce::Colour(0xFF0B0B0C));
    g.fillRoundedRectangle(recess.reduced(2.0f), kRecessCorner - 2.0f);

    for (const auto& at : {juce::Point<float>(11.0f, 11.0f), juce::Point<float>(all.getRight() - 11.0f, 11.0f),
                           juce::Point<float>(11.0f, all.getBottom() - 11.0f),
                           juce::Point<float>(all.getRight() - 11.0f, all.getBottom() - 11.0f)}) {
        juce::Path head;
        head.addEllipse(at.x - 4.5f, at.y - 4.5f, 9.0f, 9.0f);
        dropShadow(g, head, 1.0f, 0.5f);
        fillDome(g, at, 4.5f, palette::kMetalLight, palette::kMetalDark);
        g.setColour(palette::kBodyDark);
        g.drawLine(at.x - 3.0f, at.y + 1.5f, at.x + 3.0f, at.y - 1.5f, 1.2f);
    }
}

void paintLcdGlass(juce::Graphics& g) {
    const auto screen = boxOf(lcdart::kScreen);
    juce::Graphics::ScopedSaveState state(g);
    g.reduceClipRegion(screen.toNearestInt());
    // The bezel's lip shades the glass's top and left edges.
    juce::ColourGradient top(palette::kShadow.withAlpha(0.45f), 0.0f, screen.getY(), palette::kShadow.withAlpha(0.0f),
                             0.0f, screen.getY() + 7.0f, false);
    g.setGradientFill(top);
    g.fillRect(screen.withHeight(7.0f));
    juce::ColourGradient left(palette::kShadow.withAlpha(0.35f), screen.getX(), 0.0f,
                              palette::kShadow.withAlpha(0.0f), screen.getX() + 6.0f, 0.0f, false);
    g.setGradientFill(left);
    g.fillRect(screen.withWidth(6.0f));

    // A broad, faint reflection falling from the upper left, gone before the middle of the screen.
    juce::Path sheen;
    sheen.startNewSubPath(screen.getX(), screen.getY());
    sheen.lineTo(screen.getX() + 420.0f, screen.getY());
    sheen.lineTo(screen.getX() + 180.0f, screen.getBottom());
    sheen.lineTo(screen.getX(), screen.getBottom());
    sheen.closeSubPath();
    juce::ColourGradient light(juce::Colours::white.withAlpha(0.07f), screen.getX(), screen.getY(),
                               juce::Colours::white.withAlpha(0.0f), screen.getX() + 300.0f, screen.getY() + 120.0f,
                               false);
    g.setGradientFill(light);
    g.fillPath(sheen);
}

void paintAboutPicture(juce::Graphics& g) {
    g.setColour(juce::Colours::white);
    g.setFont(artFont(40.0f, juce::Font::bold));
    g.drawText("Corvex2", 30, 22, 240, 46, juce::Justification::centredLeft, false);
    g.setFont(artFont(12.0f));
    g.drawText("two-layer analog-style polysynth", 32, 66, 250, 16, juce::Justification::centredLeft, false);

    // One cycle of each oscillator shape under the title: saw, pulse, triangle.
    juce::Path wave;
    const float y0 = 92.0f, amp = 5.0f;
    wave.startNewSubPath(32.0f, y0 + amp);
    wave.lineTo(62.0f, y0 - amp);
    wave.lineTo(62.0f, y0 + amp);
    wave.lineTo(76.0f, y0 + amp);
    wave.lineTo(76.0f, y0 - amp);
    wave.lineTo(92.0f, y0 - amp);
    wave.lineTo(92.0f, y0 + amp);
    wave.lineTo(107.0f, y0 - amp);
    wave.lineTo(122.0f, y0 + amp);
    g.strokePath(wave, juce::PathStrokeType(1.2f));

    // The toggles' labels, to their left.
    g.setFont(artFont(11.0f));
    const auto label = [&](const char* text, lcdart::Box toggle) {
        g.drawText(text, 32, toggle.y, toggle.x - 40, toggle.height, juce::Justification::centredRight, false);
    };
    label("Value bubble on click", lcdart::kPopupOnClickToggle);
    label("Value bubble on hover", lcdart::kPopupOnOverToggle);

    // Rules either side of the credits.
    const auto credits = boxOf(lcdart::kCredits);
    g.fillRect(credits.getX() - 14.0f, credits.getY(), 1.0f, credits.getHeight());
    g.fillRect(credits.getRight() + 14.0f, credits.getY(), 1.0f, credits.getHeight());

    // An envelope on the right: attack, decay, sustain, release, over a faint baseline.
    const float ex = credits.getRight() + 40.0f, ey = 140.0f;
    juce::Path envelope;
    envelope.startNewSubPath(ex, ey);
    envelope.lineTo(ex + 30.0f, ey - 80.0f);
    envelope.quadraticTo(ex + 44.0f, ey - 40.0f, ex + 70.0f, ey - 45.0f);
    envelope.lineTo(ex + 130.0f, ey - 45.0f);
    envelope.quadraticTo(ex + 140.0f, ey - 2.0f, ex + 175.0f, ey);
    g.strokePath(envelope, juce::PathStrokeType(1.5f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
    g.setColour(juce::Colours::white.withAlpha(0.45f));
    g.fillRect(ex, ey + 4.0f, 175.0f, 1.0f);
    g.setFont(artFont(10.0f));
    static constexpr const char* kStages[] = {"A", "D", "S", "R"};
    static constexpr float kStageX[] = {12.0f, 48.0f, 96.0f, 150.0f};
    for (int i = 0; i < 4; ++i)
        g.drawText(kStages[i], static_cast<int>(ex + kStageX[i]), static_cast<int>(ey + 7.0f), 12, 12,
                   juce::Justification::centred, false);
}

void paintAboutToggle(juce::Graphics& g, bool on) {
    const auto area = juce::Rectangle<float>(0.0f, 0.0f, static_cast<float>(lcdart::kPopupOnClickToggle.width),
                                             static_cast<float>(lcdart::kPopupOnClickToggle.height))
                          .reduced(2.0f, 1.5f);
    const float r = area.getHeight() / 2.0f;
    const float knob = r - 2.5f;
    g.setColour(juce::Colours::white);
    if (on) {
        // A filled track with the knob cut out of it at the right.
        juce::Path track;
        track.addRoundedRectangle(area, r);
        juce::Path hole;
        hole.addEllipse(area.getRight() - r - knob, area.getCentreY() - knob, 2 * knob, 2 * knob);
        track.setUsingNonZeroWinding(false);
        track.addPath(hole);
        g.fillPath(track);
    } else {
        g.drawRoundedRectangle(area, r, 1.2f);
        g.fillEllipse(area.getX() + r - knob, area.getCentreY() - knob, 2 * knob, 2 * knob);
    }
}

} // namespace corvex::art
