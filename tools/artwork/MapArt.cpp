#include "tools/artwork/MapArt.h"

#include "tools/artwork/ArtPalette.h"

namespace corvex::art {

void paintMorphCursor(juce::Graphics& g) {
    const float c = kMorphCursorSize / 2.0f;
    // A dark outline under every light stroke, so the cursor shows over the map's pale and bright glows alike.
    for (const auto& [colour, width] : {std::pair{juce::Colour(0xFF101010), 3.0f}, std::pair{juce::Colours::white, 1.2f}}) {
        g.setColour(colour);
        g.drawEllipse(c - 4.5f, c - 4.5f, 9.0f, 9.0f, width);
        g.drawLine(c, 0.5f, c, c - 4.5f, width);
        g.drawLine(c, c + 4.5f, c, kMorphCursorSize - 0.5f, width);
        g.drawLine(0.5f, c, c - 4.5f, c, width);
        g.drawLine(c + 4.5f, c, kMorphCursorSize - 0.5f, c, width);
    }
    g.setColour(juce::Colour(0xFFFF3A24));
    g.fillEllipse(c - 1.0f, c - 1.0f, 2.0f, 2.0f);
}

void paintTypeButton(juce::Graphics& g, const juce::String& word, bool pressed) {
    const juce::Rectangle<float> box(0.5f, 0.5f, kTypeButtonWidth - 1.0f, kTypeButtonHeight - 1.0f);
    const float sink = pressed ? 1.0f : 0.0f;
    g.setGradientFill(juce::ColourGradient(pressed ? palette::kBodyDark : palette::kBodyLight, 0.0f, 0.0f,
                                           pressed ? palette::kBodyMid : palette::kBodyDark, 0.0f,
                                           static_cast<float>(kTypeButtonHeight), false));
    g.fillRoundedRectangle(box, 4.0f);
    g.setColour(palette::kShadow.withAlpha(0.8f));
    g.drawRoundedRectangle(box, 4.0f, 1.0f);
    g.setColour(pressed ? palette::kPointerLight : juce::Colour(0xFFDCE0DF));
    g.setFont(juce::Font("DejaVu Sans", 11.0f, juce::Font::bold));
    g.drawText(word, box.translated(sink, sink), juce::Justification::centred, false);
}

} // namespace corvex::art
