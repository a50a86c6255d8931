// The text field of the LCD screen: a plain font of the look-and-feel's default height; colours from the
// look-and-feel in force.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace corvex {

class CvnLcdTextEditor : public juce::TextEditor {
public:
    CvnLcdTextEditor();
};

} // namespace corvex
