// The kit's look-and-feel base: measuring and drawing tabs.
#include "widgets/MVLookAndFeel.h"

namespace corvex {

namespace {
constexpr int kCentred = 0x24; // centred both ways

juce::Path closedAndRounded(std::initializer_list<juce::Point<float>> points) {
    juce::Path path;
    bool first = true;
    for (const juce::Point<float>& p : points) {
        if (first)
            path.startNewSubPath(p);
        else
            path.lineTo(p);
        first = false;
    }
    path.closeSubPath();
    return path.createPathWithRoundedCorners(MVLookAndFeel::kCornerRadius);
}

juce::Point<float> at(int x, int y) { return {static_cast<float>(x), static_cast<float>(y)}; }
} // namespace

void MVLookAndFeel::getTabMetrics(int& margin, int& width, int& height, int& gap, int& slant) {
    margin = kTabMargin;
    width = kTabWidth;
    height = kTabHeight;
    gap = kTabGap;
    slant = kTabSlant;
}

void MVLookAndFeel::fillTabArea(juce::Graphics& g, int x, int y, int width, int height) {
    g.setColour(outline_);
    g.fillRect(x, y, width, height);
}

void MVLookAndFeel::drawTabButton(juce::Graphics& g, const juce::Path& tabShape, const juce::String& text, int x,
                                  int y, int width, int height, bool selected) {
    g.setColour(outline_);
    g.fillPath(tabShape, juce::AffineTransform::translation(2.0f, 0.0f));
    g.fillPath(tabShape, juce::AffineTransform::translation(-2.0f, 0.0f));
    g.setColour(selected ? face_ : face_.withAlpha(0.5f));
    g.fillPath(tabShape);
    g.setColour(outline_);
    g.setFont(tabFont());
    g.drawFittedText(text, x, y, width, height, juce::Justification(kCentred), 1);
}

// The front tab opens into the page: the frame is filled in the outline colour and traced in the face colour,
// and the text takes the face colour.
void MVLookAndFeel::drawTabText(juce::Graphics& g, const juce::Path& tabShape, const juce::Path& frameShape,
                                const juce::String& text, int x, int y, int width, int height, bool selected) {
    g.setColour(outline_);
    g.fillPath(frameShape);
    g.fillPath(tabShape);
    g.setColour(face_);
    g.strokePath(frameShape, juce::PathStrokeType(1.0f));
    const juce::Rectangle<int> box(x, y, width, height);
    if (selected) g.drawRoundedRectangle(box.reduced(1).toFloat(), kCornerRadius, 1.0f);
    g.setFont(tabFont());
    g.drawFittedText(text, box, juce::Justification(kCentred), 1);
}

juce::Path MVLookAndFeel::createTabShape(int x, int y, int width, int height, int slant, bool firstTab,
                                         bool mirrored) {
    int top = y, base = y + height;
    if (mirrored) std::swap(top, base);
    if (firstTab) return closedAndRounded({at(x, base), at(x, top), at(x + width - slant, top), at(x + width, base)});
    return closedAndRounded(
        {at(x, base), at(x + slant, top), at(x + width - slant, top), at(x + width, base)});
}

juce::Path MVLookAndFeel::createTabOutline(int x, int y, int width, int height, int tabX, int tabWidth,
                                           int tabHeight, int slant, bool firstTab, bool mirrored) {
    int top = y, base = y + tabHeight;
    if (mirrored) std::swap(top, base);
    if (firstTab)
        return closedAndRounded({at(x, top), at(x + tabWidth - slant, top), at(x + tabWidth, base),
                                 at(x + width, base), at(x + width, y + height), at(x, y + height)});
    return closedAndRounded({at(x, base), at(tabX, base), at(tabX + slant, top), at(tabX + tabWidth - slant, top),
                             at(tabX + tabWidth, base), at(x + width, base), at(x + width, y + height),
                             at(x, y + height)});
}

} // namespace corvex
