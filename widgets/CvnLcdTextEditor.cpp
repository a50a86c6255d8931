#include "widgets/CvnLcdTextEditor.h"

#include "widgets/CorvanLookAndFeel.h"

namespace corvex {

CvnLcdTextEditor::CvnLcdTextEditor() : juce::TextEditor(juce::String()) {
    setFont(juce::Font(static_cast<float>(CorvanLookAndFeel::kFontHeight), juce::Font::plain));
}

} // namespace corvex
