// Shared shading of the artwork.
#include "tools/artwork/ArtPalette.h"

namespace corvex::art {

void dropShadow(juce::Graphics& g, const juce::Path& shape, float offset, float alpha) {
    constexpr int kLayers = 4;
    for (int i = kLayers; i >= 1; --i) {
        const float grow = 0.5f * static_cast<float>(i);
        juce::Path p(shape);
        const auto b = p.getBounds();
        p.applyTransform(juce::AffineTransform::scale((b.getWidth() + 2 * grow) / b.getWidth(),
                                                      (b.getHeight() + 2 * grow) / b.getHeight(), b.getCentreX(),
                                                      b.getCentreY())
                             .translated(offset, offset));
        g.setColour(palette::kShadow.withAlpha(alpha / kLayers));
        g.fillPath(p);
    }
}

void fillDome(juce::Graphics& g, juce::Point<float> centre, float radius, juce::Colour light, juce::Colour dark) {
    juce::ColourGradient grad(light, centre.x - 0.45f * radius, centre.y - 0.55f * radius, dark,
                              centre.x + 0.6f * radius, centre.y + 0.75f * radius, true);
    grad.addColour(0.55, light.interpolatedWith(dark, 0.55f));
    g.setGradientFill(grad);
    g.fillEllipse(centre.x - radius, centre.y - radius, 2 * radius, 2 * radius);
}

void paintLamp(juce::Graphics& g, juce::Rectangle<float> area, juce::Colour colour, bool lit) {
    const auto c = area.getCentre();
    const float r = 0.5f * juce::jmin(area.getWidth(), area.getHeight());
    if (lit) {
        // The glow spills past the glass, fading out.
        juce::ColourGradient glow(colour.withAlpha(0.55f), c.x, c.y, colour.withAlpha(0.0f), c.x + 2.0f * r, c.y, true);
        g.setGradientFill(glow);
        g.fillEllipse(c.x - 2.0f * r, c.y - 2.0f * r, 4.0f * r, 4.0f * r);
        juce::ColourGradient glass(colour.interpolatedWith(juce::Colours::white, 0.75f), c.x - 0.2f * r,
                                   c.y - 0.25f * r, colour, c.x + r, c.y + r, true);
        g.setGradientFill(glass);
    } else {
        juce::ColourGradient glass(colour.withMultipliedBrightness(0.55f).withMultipliedSaturation(0.6f),
                                   c.x - 0.3f * r, c.y - 0.4f * r, colour.withMultipliedBrightness(0.18f), c.x + r,
                                   c.y + r, true);
        g.setGradientFill(glass);
    }
    g.fillEllipse(c.x - r, c.y - r, 2 * r, 2 * r);
    // The glass's rim and its specular spot, the same on every lamp.
    g.setColour(palette::kShadow.withAlpha(0.6f));
    g.drawEllipse(c.x - r, c.y - r, 2 * r, 2 * r, 0.75f);
    g.setColour(juce::Colours::white.withAlpha(lit ? 0.8f : 0.35f));
    g.fillEllipse(c.x - 0.55f * r, c.y - 0.6f * r, 0.5f * r, 0.4f * r);
}

} // namespace corvex::art
