// The gallery window.
#include "tools/gallery/GalleryWindow.h"

#include <algorithm>

namespace corvex::gallery {

GalleryContent::GalleryContent(GalleryGui& gui) {
    int y = 0;
    for (const SectionEntry& entry : gallerySections()) {
        std::unique_ptr<GallerySection> section = entry.make(gui);
        section->setTopLeftPosition(0, y);
        y += section->getHeight();
        addAndMakeVisible(*section);
        sections_.push_back(std::move(section));
    }
    setSize(GallerySection::kWidth, y);
}

// Sections drop their look-and-feel before they go, so none points at it past its life.
GalleryContent::~GalleryContent() {
    for (auto& section : sections_) section->setLookAndFeel(nullptr);
}

GalleryWindow::GalleryWindow(GalleryGui& gui)
    : juce::DocumentWindow("Corvex2 widget gallery", juce::Colours::black, juce::DocumentWindow::closeButton),
      content_(gui) {
    viewport_.setViewedComponent(&content_, false);
    viewport_.setScrollBarsShown(true, false);
    const int scrollBar = viewport_.getScrollBarThickness();
    viewport_.setSize(content_.getWidth() + (content_.getHeight() > kMaxHeight ? scrollBar : 0),
                      std::min(content_.getHeight(), kMaxHeight));
    setUsingNativeTitleBar(false);
    setContentNonOwned(&viewport_, true);
    setResizable(false, false);
}

GalleryWindow::~GalleryWindow() { clearContentComponent(); }

void GalleryWindow::closeButtonPressed() { juce::JUCEApplication::getInstance()->systemRequestedQuit(); }

juce::Image GalleryWindow::snapshot() { return content_.createComponentSnapshot(content_.getLocalBounds(), true, 1.0f); }

} // namespace corvex::gallery
