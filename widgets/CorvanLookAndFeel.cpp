// The product look: its colour table, fonts and the drawings of the standard controls.
#include "widgets/CorvanLookAndFeel.h"

#include <algorithm>
#include <cmath>

namespace corvex {

namespace {
constexpr float kPi = juce::MathConstants<float>::pi;
constexpr float kCorner = 4.0f;
constexpr juce::uint32 kPlainGrey = 0xFF808080;

juce::Path triangle(float x1, float y1, float x2, float y2, float x3, float y3) {
    juce::Path p;
    p.addTriangle(x1, y1, x2, y2, x3, y3);
    return p;
}

int nearest(float v) { return juce::roundToInt(v); }

juce::Rectangle<float> rect(int x, int y, int w, int h) {
    return juce::Rectangle<int>(x, y, w, h).toFloat();
}
} // namespace

CorvanLookAndFeel* CorvanLookAndFeel::instance = nullptr;

CorvanLookAndFeel* CorvanLookAndFeel::getInstance() {
    if (instance == nullptr) instance = new CorvanLookAndFeel();
    return instance;
}

CorvanLookAndFeel::~CorvanLookAndFeel() {
    if (instance == this) instance = nullptr;
}

// The table is written once here; no drawing operation changes a colour of the look-and-feel or of a component.
CorvanLookAndFeel::CorvanLookAndFeel() : MVLookAndFeel(juce::Colour(kDark), juce::Colour(kGrey)) {
    // Pinned by name so that text looks the same on every machine that has the face.
    setDefaultSansSerifTypefaceName(kTypefaceName);

    const juce::Colour transparent(0x00000000);
    struct Entry {
        int id;
        juce::Colour colour;
    };
    const Entry table[] = {
        {juce::Label::backgroundColourId, transparent},
        {juce::Label::textColourId, lightColour},
        {juce::Label::outlineColourId, transparent},
        {juce::ComboBox::backgroundColourId, darkColour},
        {juce::ComboBox::textColourId, lightColour},
        {juce::ComboBox::outlineColourId, greyColour},
        {juce::ComboBox::buttonColourId, accentColour},
        {juce::ComboBox::arrowColourId, accentColour},
        {juce::ListBox::backgroundColourId, darkColour},
        {juce::ListBox::outlineColourId, darkColour},
        {juce::ListBox::textColourId, lightColour},
        {juce::GroupComponent::outlineColourId, lightColour},
        {juce::GroupComponent::textColourId, lightColour},
        {juce::TextEditor::backgroundColourId, darkColour},
        {juce::TextEditor::textColourId, lightColour},
        {juce::TextEditor::highlightColourId, accentColour},
        {juce::TextEditor::highlightedTextColourId, lightColour},
        {juce::TextEditor::outlineColourId, greyColour},
        {juce::CaretComponent::caretColourId, lightColour},
        {juce::PopupMenu::backgroundColourId, darkColour},
        {juce::PopupMenu::textColourId, lightColour},
        {juce::PopupMenu::highlightedBackgroundColourId, accentColour},
        {juce::PopupMenu::highlightedTextColourId, lightColour},
        {juce::PopupMenu::headerTextColourId, accentColour},
    };
    for (const Entry& e : table) setColour(e.id, e.colour);
}

juce::Font CorvanLookAndFeel::plainFont(float height) const {
    return juce::Font(height, juce::Font::plain);
}

void CorvanLookAndFeel::getDefaultFonts(juce::Font& a, juce::Font& b, int) {
    a = plainFont(static_cast<float>(getDefaultFontHeight()));
    b = a;
}

juce::Font CorvanLookAndFeel::getPopupMenuFont() { return plainFont(static_cast<float>(getDefaultFontHeight())); }

int CorvanLookAndFeel::getMinimumScrollbarThumbSize(juce::ScrollBar&) { return 10; }

void CorvanLookAndFeel::drawToggleButton(juce::Graphics& g, juce::ToggleButton& button, bool isMouseOver,
                                         bool isButtonDown) {
    const int width = button.getWidth();
    const int height = button.getHeight();
    if (button.hasKeyboardFocus(true)) {
        g.setColour(button.findColour(juce::TextEditor::focusedOutlineColourId));
        g.drawRect(0, 0, width, height);
    }
    const int tick = std::min(20, height - 4);
    drawTickBox(g, button, 4.0f, static_cast<float>((height - tick) / 2), static_cast<float>(tick),
                static_cast<float>(tick), button.getToggleState(), button.isEnabled(), isMouseOver, isButtonDown);

    g.setColour(greyColour);
    g.setFont(plainFont(std::min(15.0f, static_cast<float>(height) * 0.6f)));
    if (!button.isEnabled()) g.setOpacity(0.5f);
    const int textX = tick + 5;
    g.drawFittedText(button.getButtonText(), textX, 4, width - textX - 2, height - 8,
                     juce::Justification::centredLeft, 10, 0.7f);
}

void CorvanLookAndFeel::drawTickBox(juce::Graphics& g, juce::Component&, float x, float y, float w, float h,
                                    bool ticked, bool isEnabled, bool, bool isButtonDown) {
    const auto design = juce::AffineTransform::scale(w / 9.0f, h / 9.0f).translated(x, y);
    juce::Path box;
    box.addRoundedRectangle(0.0f, 2.0f, 6.0f, 6.0f, 1.0f);
    if (isEnabled)
        g.setColour(juce::Colours::white.withAlpha(isButtonDown ? 0.7f : 0.9f));
    else
        g.setColour(juce::Colour(0xFFD3D3D3).withAlpha(0.1f));
    g.fillPath(box, design);
    g.setColour(juce::Colours::black.withAlpha(0.6f));
    g.strokePath(box, juce::PathStrokeType(0.9f), design);

    if (ticked) {
        juce::Path tick;
        tick.startNewSubPath(1.5f, 3.0f);
        tick.lineTo(3.0f, 6.0f);
        tick.lineTo(6.0f, 0.0f);
        g.setColour(isEnabled ? juce::Colours::black : juce::Colour(kPlainGrey));
        g.strokePath(tick, juce::PathStrokeType(2.5f), design);
    }
}

void CorvanLookAndFeel::drawScrollbarButton(juce::Graphics& g, juce::ScrollBar&, int width, int height,
                                            int direction, bool isVertical, bool isMouseOver, bool isButtonDown) {
    if (isVertical)
        width -= 2;
    else
        height -= 2;
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);
    juce::Path arrow;
    switch (direction) {
    case 0: arrow = triangle(0.5f * w, 0.2f * h, 0.1f * w, 0.7f * h, 0.9f * w, 0.7f * h); break;
    case 1: arrow = triangle(0.8f * w, 0.5f * h, 0.3f * w, 0.1f * h, 0.3f * w, 0.9f * h); break;
    case 2: arrow = triangle(0.5f * w, 0.8f * h, 0.1f * w, 0.3f * h, 0.9f * w, 0.3f * h); break;
    case 3: arrow = triangle(0.2f * w, 0.5f * h, 0.7f * w, 0.1f * h, 0.7f * w, 0.9f * h); break;
    default: break;
    }
    g.setColour(isButtonDown ? greyColour : darkColour);
    g.fillPath(arrow);
    if (isButtonDown)
        g.setColour(darkColour);
    else
        g.setColour(greyColour);
    g.strokePath(arrow, juce::PathStrokeType(!isButtonDown && isMouseOver ? 2.0f : 0.5f));
}

void CorvanLookAndFeel::drawScrollbar(juce::Graphics& g, juce::ScrollBar&, int x, int y, int width, int height,
                                      bool isVertical, int thumbStart, int thumbSize, bool isMouseOver,
                                      bool isMouseDown) {
    g.fillAll(darkColour);
    const bool active = isMouseOver || isMouseDown;
    const juce::Colour track = greyColour.withAlpha(active ? 0.4f : 0.15f);
    if (thumbSize <= 0) return;

    juce::Rectangle<int> trackArea;
    juce::Rectangle<int> thumb;
    if (isVertical) {
        const int w = width - 2;
        trackArea = {x + nearest(0.35f * static_cast<float>(w)), y, nearest(0.3f * static_cast<float>(w)), height};
        thumb = {x + 1, thumbStart, w - 2, thumbSize};
    } else {
        const int h = height - 2;
        trackArea = {x, y + nearest(0.35f * static_cast<float>(h)), width, nearest(0.3f * static_cast<float>(h))};
        thumb = {thumbStart, y + 1, thumbSize, h - 2};
    }
    g.setColour(track);
    g.fillRect(trackArea);
    g.setColour(greyColour.brighter(active ? 0.2f : 0.1f));
    g.fillRect(thumb);
}

void CorvanLookAndFeel::drawTextEditorOutline(juce::Graphics& g, int width, int height, juce::TextEditor&) {
    g.setColour(greyColour);
    g.drawRoundedRectangle(rect(1, 1, width - 2, height - 2), kCorner, 1.0f);
}

// The box's own label already takes its text and highlight colours from the box when the box is set up, so
// nothing here touches a colour: a colour change from inside paint would repaint the box again.
void CorvanLookAndFeel::drawComboBox(juce::Graphics& g, int width, int height, bool isButtonDown, int buttonX,
                                     int buttonY, int buttonW, int buttonH, juce::ComboBox& box) {
    const int id = isButtonDown ? juce::ComboBox::buttonColourId : juce::ComboBox::backgroundColourId;
    g.setColour(box.findColour(id));
    g.fillRoundedRectangle(rect(0, 0, width, height), kCorner);
    g.fillRoundedRectangle(rect(buttonX, buttonY, buttonW, buttonH), kCorner);

    g.setColour(findColour(juce::ComboBox::outlineColourId));
    g.drawRoundedRectangle(rect(1, 1, width - 2, height - 2), kCorner, 1.0f);

    if (!box.isEnabled()) return;
    const float bx = static_cast<float>(buttonX);
    const float by = static_cast<float>(buttonY);
    const float bw = static_cast<float>(buttonW);
    const float bh = static_cast<float>(buttonH);
    juce::Path arrows = triangle(bx + 0.5f * bw, by + 0.15f * bh, bx + 0.8f * bw, by + 0.45f * bh, bx + 0.2f * bw,
                                 by + 0.45f * bh);
    arrows.addTriangle(bx + 0.5f * bw, by + 0.85f * bh, bx + 0.8f * bw, by + 0.55f * bh, bx + 0.2f * bw,
                       by + 0.55f * bh);
    // The look-and-feel's own colour, not the box's: a box that keeps the defaults hides its arrows.
    g.setColour(findColour(id));
    g.fillPath(arrows);
}

void CorvanLookAndFeel::positionComboBoxText(juce::ComboBox& box, juce::Label& label) {
    label.setBounds(1, 1, juce::jmax(0, box.getWidth() - box.getHeight()), box.getHeight() - 2);
    label.setBorderSize({1, 3, 1, 1});
    label.setFont(getComboBoxFont(box));
}

void CorvanLookAndFeel::drawRoundedBox(juce::Graphics& g, const juce::String& text, int width, int height,
                                       bool selected, bool enabled) {
    juce::Colour textColour(kPlainGrey);
    if (enabled) {
        g.setColour(selected ? lightColour : darkColour);
        g.fillRoundedRectangle(rect(1, 1, width - 2, height - 2), kCorner);
        textColour = selected ? darkColour : lightColour;
    }
    g.setColour(textColour);
    g.setFont(plainFont(static_cast<float>(getDefaultFontHeight())));
    g.drawText(text, 5, 0, width, height, juce::Justification::centredLeft, true);
}

void CorvanLookAndFeel::drawGroupOutline(juce::Graphics& g, const juce::String& title, int x, int y, int w, int h,
                                         float lineThickness, int fontHeight) {
    const juce::Font font = plainFont(static_cast<float>(fontHeight));
    const float textW =
        juce::jlimit(0.0f, static_cast<float>(std::max(0, w - 18)), font.getStringWidthFloat(title) + 8.0f);
    const float fx = static_cast<float>(x);
    const float fy = static_cast<float>(y);
    const float fw = static_cast<float>(w);
    const float fh = static_cast<float>(h);

    juce::Path frame;
    frame.startNewSubPath(fx + 9.0f + textW, fy);
    frame.lineTo(fx + fw - 5.0f, fy);
    frame.addArc(fx + fw - 10.0f, fy, 10.0f, 10.0f, 0.0f, kPi / 2.0f);
    frame.lineTo(fx + fw, fy + fh - 5.0f);
    frame.addArc(fx + fw - 10.0f, fy + fh - 10.0f, 10.0f, 10.0f, kPi / 2.0f, kPi);
    frame.lineTo(fx + 5.0f, fy + fh);
    frame.addArc(fx, fy + fh - 10.0f, 10.0f, 10.0f, kPi, 1.5f * kPi);
    frame.lineTo(fx, fy + 5.0f);
    frame.addArc(fx, fy, 10.0f, 10.0f, 1.5f * kPi, 2.0f * kPi);
    frame.lineTo(fx + 9.0f, fy);
    g.strokePath(frame, juce::PathStrokeType(lineThickness, juce::PathStrokeType::mitered,
                                             juce::PathStrokeType::butt));

    g.setFont(font);
    const int textHeight = nearest(static_cast<float>(fontHeight));
    g.drawText(title, nearest(fx + 9.0f), y - textHeight / 2, nearest(textW), textHeight,
               juce::Justification::centred, true);
}

void CorvanLookAndFeel::drawPadlock(juce::Graphics& g, int x, int y, int w, int h) {
    const int k = static_cast<int>(0.15f * static_cast<float>(w));
    juce::Path lock;
    lock.addRectangle(rect(x, y + h / 2, w, h / 2));
    lock.addArc(static_cast<float>(x + k), static_cast<float>(y), static_cast<float>(w - 2 * k),
                static_cast<float>(h), -kPi / 2.0f, kPi / 2.0f, true);
    g.strokePath(lock, juce::PathStrokeType(0.5f));
}

} // namespace corvex
