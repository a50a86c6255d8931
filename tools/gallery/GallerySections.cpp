// The list of sections, and the section panel's layout.
#include "tools/gallery/GallerySections.h"

#include <algorithm>

#include "tools/gallery/GallerySkinned.h"

namespace corvex::gallery {

const std::vector<SectionEntry>& gallerySections() {
    static const std::vector<SectionEntry> sections = {
        {"Kit", makeKitSection},
        {"Look", makeLookSection},
        {"LCD", makeLcdSection},
        {"Skinned", makeSkinnedSection},
    };
    return sections;
}

std::unique_ptr<GallerySection> makeSkinnedSection(GalleryGui& gui) {
    auto section = std::make_unique<GallerySection>("Skinned front panel", juce::Colour(0xFF202225),
                                                    juce::Colours::white);
    section->add(createSkinnedSection(&gui), "knobs, wheel, sliders, levers, LED buttons, keyboard, split marker",
                 kSkinnedSectionWidth);
    section->layOut();
    return section;
}

GallerySection::GallerySection(const juce::String& title, juce::Colour background, juce::Colour text)
    : title_(title), background_(background), text_(text) {
    setSize(kWidth, kTitleHeight);
}

void GallerySection::place(std::unique_ptr<juce::Component> widget, const juce::String& caption, int cellWidth) {
    addAndMakeVisible(*widget);
    const int captionWidth = juce::Font(kCaptionFontHeight).getStringWidth(caption) + 4;
    const int width = std::max({cellWidth, widget->getWidth(), captionWidth, 24});
    cells_.push_back({std::move(widget), caption, width, {}});
}

// Widths are taken when a widget is added; one added before its size is set gets its size at layout.
void GallerySection::layOut() {
    int x = kGap;
    int y = kTitleHeight + kGap / 2;
    int rowHeight = 0;
    for (Cell& cell : cells_) {
        juce::Component& w = *cell.widget;
        cell.width = std::max(cell.width, w.getWidth());
        if (x + cell.width > kWidth - kGap && x > kGap) {
            x = kGap;
            y += rowHeight + kGap;
            rowHeight = 0;
        }
        w.setTopLeftPosition(x + (cell.width - w.getWidth()) / 2, y);
        cell.captionArea = {x - kGap / 2, y + w.getHeight() + 2, cell.width + kGap, kCaptionHeight};
        rowHeight = std::max(rowHeight, w.getHeight() + 2 + kCaptionHeight);
        x += cell.width + kGap;
    }
    setSize(kWidth, y + rowHeight + kGap);
}

void GallerySection::paint(juce::Graphics& g) {
    g.fillAll(background_);
    g.setColour(text_);
    g.setFont(juce::Font(15.0f, juce::Font::bold));
    g.drawText(title_, kGap, 0, kWidth - 2 * kGap, kTitleHeight, juce::Justification::centredLeft, true);
    g.setFont(juce::Font(kCaptionFontHeight));
    for (const Cell& cell : cells_)
        g.drawText(cell.caption, cell.captionArea, juce::Justification::centredTop, true);
}

} // namespace corvex::gallery
