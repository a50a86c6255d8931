// The key strips.
#include "tools/artwork/KeyArt.h"

#include "tools/artwork/ArtPalette.h"

namespace corvex::art {

namespace {

// How high the black keys reach on a white key, and how far a white key's front lip shows.
constexpr float kBlackLength = 84.0f;
constexpr float kLipUp = 7.0f;
constexpr float kLipDown = 4.0f;

struct WhiteLook {
    bool down;
    bool sideShows;    // the key below is down and this one up: this key's left side face shows
    bool sideShaded;   // this key is down and the key below up: the neighbour's side shades this key's edge
    bool hasBlackBelow;
    bool blackBelowDown;
};

void paintWhite(juce::Graphics& g, float w, float h, const WhiteLook& look) {
    const float lip = look.down ? kLipDown : kLipUp;
    const juce::Rectangle<float> key(0.0f, 0.0f, w, h);
    // The gap between keys: the dark keybed.
    g.setColour(palette::kEbonyDark);
    g.fillRect(key);
    const auto face = key.withTrimmedRight(1.0f).withTrimmedBottom(lip);
    juce::ColourGradient ivory(look.down ? palette::kIvoryDark : palette::kIvoryLight, 0.0f, 0.0f,
                               look.down ? palette::kIvoryDark.darker(0.12f) : palette::kIvoryDark, 0.0f,
                               face.getBottom(), false);
    ivory.addColour(0.85, look.down ? palette::kIvoryDark.darker(0.05f) : palette::kIvoryLight.darker(0.04f));
    g.setGradientFill(ivory);
    g.fillRect(face);
    // The front lip: the key's front face, lit from above, seen shorter once the key has gone down.
    juce::ColourGradient front(palette::kIvoryDark.darker(0.15f), 0.0f, face.getBottom(),
                               palette::kIvoryDark.darker(0.55f), 0.0f, h, false);
    g.setGradientFill(front);
    g.fillRect(face.getX(), face.getBottom(), face.getWidth(), lip - 1.0f);
    g.setColour(juce::Colours::white.withAlpha(look.down ? 0.25f : 0.6f));
    g.fillRect(face.getX() + 1.0f, face.getBottom() - 1.0f, face.getWidth() - 2.0f, 1.0f);
    // A pressed key tips away under the rail at the back, which shades its far end.
    if (look.down) {
        juce::ColourGradient rail(palette::kShadow.withAlpha(0.35f), 0.0f, 0.0f, palette::kShadow.withAlpha(0.0f),
                                  0.0f, 14.0f, false);
        g.setGradientFill(rail);
        g.fillRect(face.withHeight(14.0f));
    }
    // The light comes from the upper left: a lit left edge, a darker right edge.
    g.setColour(juce::Colours::white.withAlpha(0.7f));
    g.fillRect(face.getX(), 0.0f, 1.0f, face.getBottom());
    g.setColour(palette::kShadow.withAlpha(0.12f));
    g.fillRect(face.getRight() - 1.0f, 0.0f, 1.0f, face.getBottom());
    if (look.sideShows) {
        g.setColour(palette::kIvoryDark.darker(0.1f));
        g.fillRect(face.getX(), kBlackLength, 2.0f, h - kBlackLength - 1.0f);
        g.setColour(juce::Colours::white.withAlpha(0.8f));
        g.fillRect(face.getX() + 2.0f, kBlackLength, 1.0f, face.getBottom() - kBlackLength);
    }
    if (look.sideShaded) {
        juce::ColourGradient shade(palette::kShadow.withAlpha(0.4f), 0.0f, 0.0f, palette::kShadow.withAlpha(0.0f),
                                   4.0f, 0.0f, false);
        g.setGradientFill(shade);
        g.fillRect(face.getX(), 0.0f, 4.0f, face.getBottom());
    }
    // The black key below, standing over this key's left end, throws its shadow down and to the right; a black
    // key that has gone down stands lower and throws less.
    if (look.hasBlackBelow) {
        const float reach = look.blackBelowDown ? 1.5f : 3.5f;
        juce::ColourGradient shadow(palette::kShadow.withAlpha(0.28f), 0.0f, 0.0f, palette::kShadow.withAlpha(0.0f),
                                    reach + 5.0f, 0.0f, false);
        g.setGradientFill(shadow);
        g.fillRect(0.0f, 0.0f, reach + 5.0f, kBlackLength + reach);
    }
}

void paintBlack(juce::Graphics& g, float w, float h, bool down) {
    const juce::Rectangle<float> key(0.0f, 0.0f, w, h);
    g.setColour(palette::kEbonyDark);
    g.fillRoundedRectangle(key, 1.5f);
    // The body seen from above, then the sloped front; a pressed key sinks, its slope shortens.
    const float slope = down ? 5.0f : 10.0f;
    const auto top = key.reduced(1.5f, 0.0f).withTrimmedBottom(slope + 1.0f);
    juce::ColourGradient body(palette::kEbonyLight.withMultipliedBrightness(down ? 0.7f : 1.0f), top.getX(), 0.0f,
                              palette::kEbonyDark, top.getRight(), 0.0f, false);
    g.setGradientFill(body);
    g.fillRoundedRectangle(top, 1.0f);
    juce::ColourGradient front(palette::kEbonyLight.withMultipliedBrightness(down ? 0.6f : 0.9f), 0.0f,
                               top.getBottom(), palette::kEbonyDark, 0.0f, h - 1.0f, false);
    g.setGradientFill(front);
    g.fillRect(top.getX(), top.getBottom(), top.getWidth(), slope);
    // A gloss stripe on the lit side of the top.
    g.setColour(juce::Colours::white.withAlpha(down ? 0.10f : 0.22f));
    g.fillRoundedRectangle(top.getX() + 1.5f, 2.0f, 1.8f, top.getHeight() - 6.0f, 0.9f);
    g.setColour(juce::Colours::white.withAlpha(down ? 0.12f : 0.3f));
    g.fillRect(top.getX() + 0.5f, top.getBottom(), top.getWidth() - 1.0f, 1.0f);
}

} // namespace

void paintKey(juce::Graphics& g, const skin::KeyStrip& strip, int frame) {
    const auto w = static_cast<float>(strip.width);
    const auto h = static_cast<float>(strip.keyHeight);
    if (strip.black) {
        paintBlack(g, w, h, frame != 0);
        return;
    }
    WhiteLook look{};
    if (strip.frames == 8) {
        const bool down = (frame & 4) != 0;
        const bool whiteBelow = (frame & 2) != 0;
        look = {down, !down && whiteBelow, down && !whiteBelow, true, (frame & 1) != 0};
    } else {
        const bool down = frame != 0;
        const bool belowDown = frame == 2;
        look = {down, false, down && !belowDown, false, false};
    }
    paintWhite(g, w, h, look);
}

} // namespace corvex::art
