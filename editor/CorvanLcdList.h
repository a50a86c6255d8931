// The look the preset pages' lists share: LCD rows of one font height, a grey rounded outline drawn over them.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace corvex {

class CorvanLookAndFeel;

class CorvanLcdList : public juce::ListBox {
public:
    // The description a result row carries while it is dragged; only filter lists take it.
    static constexpr const char* kPresetDragDescription = "CORVAN_PRESET";
    static constexpr int kScrollStep = 20;

    explicit CorvanLcdList(const juce::String& name);

    static int rowHeightFor(int fontHeight) { return std::max(1, static_cast<int>(fontHeight * 1.3)); }

    void resized() override;
    void paintOverChildren(juce::Graphics& g) override;

protected:
    // The look of the window holding the list, or the product look while it has another.
    CorvanLookAndFeel& lcdLook();
};

} // namespace corvex
