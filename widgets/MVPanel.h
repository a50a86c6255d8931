// The common base of the editor's panels: a component with an optional background picture stretched over it.
#pragma once

#include <cstddef>

#include <juce_gui_basics/juce_gui_basics.h>

namespace corvex {

class MVPanel : public juce::Component {
public:
    MVPanel() = default;

    // From the program's embedded PNGs; null data removes the background.
    void setBackgroundImage(const void* pngData, size_t pngSize);
    void setBackgroundImage(const juce::Image& image);
    const juce::Image& getBackgroundImage() const { return background_; }

    void paint(juce::Graphics& g) override;

private:
    juce::Image background_;
};

} // namespace corvex
