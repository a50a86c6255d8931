#include "editor/CorvanLcdList.h"

#include "widgets/CorvanLookAndFeel.h"

namespace corvex {

CorvanLcdList::CorvanLcdList(const juce::String& name) : juce::ListBox(name) {
    setMultipleSelectionEnabled(false);
}

CorvanLookAndFeel& CorvanLcdList::lcdLook() {
    if (auto* look = dynamic_cast<CorvanLookAndFeel*>(&getLookAndFeel())) return *look;
    return *CorvanLookAndFeel::getInstance();
}

void CorvanLcdList::resized() {
    juce::ListBox::resized();
    const int rowHeight = rowHeightFor(lcdLook().getDefaultFontHeight());
    setRowHeight(rowHeight);
    getViewport()->setSingleStepSizes(kScrollStep, rowHeight);
    updateContent();
}

void CorvanLcdList::paintOverChildren(juce::Graphics& g) {
    g.setColour(lcdLook().greyColour);
    g.drawRoundedRectangle(1.0f, 1.0f, static_cast<float>(getWidth() - 2), static_cast<float>(getHeight() - 2), 4.0f,
                           1.0f);
}

} // namespace corvex
