// The front panel's picture.
#include "tools/artwork/PanelArt.h"

#include "editor/FrontPanelLayout.h"
#include "tools/artwork/ArtPalette.h"
#include "tools/artwork/ControlArt.h"

namespace corvex::art {

namespace {

namespace fp = frontpanel;

const juce::Colour kFace{0xFF25272C};
const juce::Colour kFaceDark{0xFF1A1B1F};
const juce::Colour kFrameFill{0xFF2D3036};
const juce::Colour kTitleBar{0xFF3A3E46};
const juce::Colour kSlot{0xFF0B0B0D};
const juce::Colour kTick{0xFF8E9299};
const juce::Colour kLcdGlass{0xFF160706};

juce::Rectangle<float> toFloat(const fp::Rect& r) {
    return {static_cast<float>(r.x), static_cast<float>(r.y), static_cast<float>(r.width),
            static_cast<float>(r.height)};
}

void paintFace(juce::Graphics& g) {
    // Brushed from the top: a faint light falls on the upper edge and fades down the panel.
    g.setGradientFill(juce::ColourGradient(kFace, 0.0f, 0.0f, kFaceDark, 0.0f, static_cast<float>(fp::kHeight), false));
    g.fillAll();
    juce::Random grain(0x436f7276); // fixed: the picture must be the same on every run
    for (int y = 0; y < fp::kHeight; y += 2) {
        g.setColour(juce::Colours::white.withAlpha(0.012f + 0.012f * grain.nextFloat()));
        g.fillRect(0, y, fp::kWidth, 1);
    }
}

void paintSection(juce::Graphics& g, const fp::Section& section) {
    const auto r = toFloat(section.frame).reduced(0.5f);
    juce::Path box;
    box.addRoundedRectangle(r, 4.0f);
    dropShadow(g, box, 1.0f, 0.35f);
    g.setGradientFill(juce::ColourGradient(kFrameFill.brighter(0.06f), 0.0f, r.getY(), kFrameFill.darker(0.15f), 0.0f,
                                           r.getBottom(), false));
    g.fillPath(box);
    // The title strip the panel writes the section's name on.
    const auto title = toFloat(fp::titleBoxOf(section)).withX(r.getX() + 1.0f).withRight(r.getRight() - 1.0f)
                           .withY(r.getY() + 1.0f).withHeight(static_cast<float>(fp::kTitleHeight) + 1.0f);
    g.setColour(kTitleBar);
    g.fillRoundedRectangle(title, 3.0f);
    g.setColour(juce::Colours::white.withAlpha(0.10f));
    g.drawRoundedRectangle(r, 4.0f, 1.0f);
}

// A slot the slider's thumb travels in, with a scale of eleven ticks beside it.
void paintSliderSlot(juce::Graphics& g, const fp::Rect& slider) {
    const float cx = static_cast<float>(slider.x) + 0.5f * static_cast<float>(slider.width);
    const float top = static_cast<float>(slider.y) + 5.0f;
    const float bottom = static_cast<float>(slider.bottom()) - 5.0f;
    g.setColour(juce::Colours::white.withAlpha(0.08f));
    g.fillRoundedRectangle(cx - 3.0f, top - 0.5f, 6.0f, bottom - top + 2.0f, 2.5f);
    g.setColour(kSlot);
    g.fillRoundedRectangle(cx - 2.5f, top - 1.0f, 5.0f, bottom - top + 1.0f, 2.0f);
    for (int i = 0; i <= 10; ++i) {
        const float y = juce::jmap(static_cast<float>(i), 0.0f, 10.0f, top + 1.0f, bottom - 1.0f);
        const float len = (i % 5 == 0) ? 4.0f : 2.5f;
        g.setColour(kTick.withAlpha(i % 5 == 0 ? 0.9f : 0.6f));
        g.fillRect(cx - 6.5f - len, y - 0.5f, len, 1.0f);
        g.fillRect(cx + 6.5f, y - 0.5f, len, 1.0f);
    }
}

// A dark well under a knob, so that its skirt reads against the frame.
void paintKnobWell(juce::Graphics& g, const fp::Rect& knob) {
    const auto r = toFloat(knob);
    const float d = juce::jmin(r.getWidth(), r.getHeight()) + 1.0f;
    g.setColour(juce::Colours::black.withAlpha(0.25f));
    g.fillEllipse(r.getCentreX() - 0.5f * d, r.getCentreY() - 0.5f * d + 0.5f, d, d);
}

void paintLcdWindow(juce::Graphics& g, const fp::Rect& lcd) {
    const auto r = toFloat(lcd);
    g.setColour(juce::Colours::black.withAlpha(0.7f));
    g.fillRoundedRectangle(r.expanded(3.0f), 4.0f);
    g.setColour(juce::Colours::white.withAlpha(0.12f));
    g.drawRoundedRectangle(r.expanded(3.0f), 4.0f, 1.0f);
    g.setGradientFill(juce::ColourGradient(kLcdGlass.brighter(0.25f), r.getX(), r.getY(), kLcdGlass, r.getX(),
                                           r.getBottom(), false));
    g.fillRoundedRectangle(r, 2.0f);
}

void paintKeyboardBed(juce::Graphics& g) {
    const auto bed = toFloat(fp::kKeyboardBed);
    g.setColour(juce::Colours::black.withAlpha(0.55f));
    g.fillRoundedRectangle(bed, 4.0f);
    g.setGradientFill(juce::ColourGradient(juce::Colours::black.withAlpha(0.6f), 0.0f, bed.getY(),
                                           juce::Colours::transparentBlack, 0.0f, bed.getY() + 8.0f, false));
    g.fillRect(bed.withHeight(8.0f));
    g.setColour(juce::Colours::white.withAlpha(0.08f));
    g.drawRoundedRectangle(bed, 4.0f, 1.0f);
}

} // namespace

void paintFrontPanel(juce::Graphics& g) {
    paintFace(g);
    for (const fp::Section& section : fp::kSections) paintSection(g, section);
    paintKeyboardBed(g);
    paintLcdWindow(g, fp::kSmallLcd);
    for (const fp::Row& row : fp::kRows) {
        const fp::Rect r = fp::boundsOf(row);
        if (fp::isSlider(row.widget)) {
            paintSliderSlot(g, r);
        } else if (row.widget == fp::Widget::LfoLamp) {
            // The lamp widget draws only its light; the dark lamp is the panel's.
            juce::Graphics::ScopedSaveState state(g);
            g.setOrigin(r.x, r.y);
            paintLfoLed(g, false);
        } else if (fp::isRoundKnob(row.widget)) {
            paintKnobWell(g, r);
        }
    }
}

} // namespace corvex::art
