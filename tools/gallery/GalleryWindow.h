// The gallery's window: every section of the list, one under the other, in a scrolling view.
#pragma once

#include <memory>
#include <vector>

#include <juce_gui_basics/juce_gui_basics.h>

#include "tools/gallery/GalleryGui.h"
#include "tools/gallery/GallerySections.h"

namespace corvex::gallery {

class GalleryContent : public juce::Component {
public:
    explicit GalleryContent(GalleryGui& gui);
    ~GalleryContent() override;

private:
    std::vector<std::unique_ptr<GallerySection>> sections_;
};

class GalleryWindow : public juce::DocumentWindow {
public:
    static constexpr int kMaxHeight = 900;

    explicit GalleryWindow(GalleryGui& gui);
    ~GalleryWindow() override;

    void closeButtonPressed() override;
    // The whole content, all sections, as one picture (not only the part the view shows).
    juce::Image snapshot();

private:
    GalleryContent content_;
    juce::Viewport viewport_;
};

} // namespace corvex::gallery
