// The gallery's sections, each built by its own file, and the panel they lay their widgets out on.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include <juce_gui_basics/juce_gui_basics.h>

#include "tools/gallery/GalleryGui.h"

namespace corvex::gallery {

// A titled panel that places its widgets left to right in captioned cells, wrapping into rows.
class GallerySection : public juce::Component {
public:
    static constexpr int kWidth = 850; // the skinned section is 820 wide
    static constexpr int kTitleHeight = 22;
    static constexpr int kCaptionHeight = 14;
    static constexpr int kGap = 12;
    static constexpr float kCaptionFontHeight = 10.0f;

    GallerySection(const juce::String& title, juce::Colour background, juce::Colour text);

    // The section owns the widget; the cell is at least as large as the widget's current size.
    template <typename Widget>
    Widget& add(std::unique_ptr<Widget> widget, const juce::String& caption, int cellWidth = 0) {
        Widget& ref = *widget;
        place(std::move(widget), caption, cellWidth);
        return ref;
    }
    // Something the widgets need that is not a component (a button group); it goes before the widgets do.
    void keep(std::shared_ptr<void> helper) { helpers_.push_back(std::move(helper)); }
    // Lays the cells out and sets the section's height to fit them.
    void layOut();

    void paint(juce::Graphics& g) override;

private:
    struct Cell {
        std::unique_ptr<juce::Component> widget;
        juce::String caption;
        int width;
        juce::Rectangle<int> captionArea;
    };
    void place(std::unique_ptr<juce::Component> widget, const juce::String& caption, int cellWidth);

    const juce::String title_;
    const juce::Colour background_;
    const juce::Colour text_;
    std::vector<Cell> cells_;
    std::vector<std::shared_ptr<void>> helpers_;
};

struct SectionEntry {
    const char* name;
    std::function<std::unique_ptr<GallerySection>(GalleryGui&)> make;
};

// The sections in the order the window shows them.
const std::vector<SectionEntry>& gallerySections();

// One per section file.
std::unique_ptr<GallerySection> makeKitSection(GalleryGui& gui);
std::unique_ptr<GallerySection> makeLcdSection(GalleryGui& gui);
std::unique_ptr<GallerySection> makeLookSection(GalleryGui& gui);
std::unique_ptr<GallerySection> makeSkinnedSection(GalleryGui& gui); // wraps tools/gallery/GallerySkinned

} // namespace corvex::gallery
