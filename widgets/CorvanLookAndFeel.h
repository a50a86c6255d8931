// The product's dark LCD look: near-black fills, light text, grey outlines and an amber accent, small DejaVu Sans
// fonts and rounded corners. One process-wide instance serves the editor, its panels and the LCD widgets.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include "widgets/MVLookAndFeel.h"

namespace corvex {

// Message thread only.
class CorvanLookAndFeel : public MVLookAndFeel, private juce::DeletedAtShutdown {
public:
    static constexpr juce::uint32 kDark = 0xFF1B1B1B;
    static constexpr juce::uint32 kGrey = 0xFF9B9B9B;
    static constexpr juce::uint32 kLight = 0xFFF5F5F5;
    static constexpr juce::uint32 kAccent = 0xFFD09D4C;
    static constexpr int kFontHeight = 11;
    static constexpr const char* kTypefaceName = "DejaVu Sans";

    // Made on the first call. It is deleted only when the GUI library shuts down, after every window is gone;
    // a component that still points at it then falls back to the library's default look.
    static CorvanLookAndFeel* getInstance();

    ~CorvanLookAndFeel() override;
    CorvanLookAndFeel(const CorvanLookAndFeel&) = delete;
    CorvanLookAndFeel& operator=(const CorvanLookAndFeel&) = delete;

    void drawToggleButton(juce::Graphics& g, juce::ToggleButton& button, bool isMouseOver,
                          bool isButtonDown) override;
    void drawTickBox(juce::Graphics& g, juce::Component& component, float x, float y, float w, float h, bool ticked,
                     bool isEnabled, bool isMouseOver, bool isButtonDown) override;
    void drawScrollbarButton(juce::Graphics& g, juce::ScrollBar& scrollbar, int width, int height, int direction,
                             bool isVertical, bool isMouseOver, bool isButtonDown) override;
    void drawScrollbar(juce::Graphics& g, juce::ScrollBar& scrollbar, int x, int y, int width, int height,
                       bool isVertical, int thumbStart, int thumbSize, bool isMouseOver, bool isMouseDown) override;
    int getMinimumScrollbarThumbSize(juce::ScrollBar& scrollbar) override;
    void drawTextEditorOutline(juce::Graphics& g, int width, int height, juce::TextEditor& editor) override;
    juce::Font getPopupMenuFont() override;
    void drawComboBox(juce::Graphics& g, int width, int height, bool isButtonDown, int buttonX, int buttonY,
                      int buttonW, int buttonH, juce::ComboBox& box) override;
    // The arrows take a square as high as the box: the LCD's boxes are small, and the library's fixed 30 pixels
    // left a 40-pixel box no room for its text.
    void positionComboBoxText(juce::ComboBox& box, juce::Label& label) override;

    int getDefaultFontHeight() override { return kFontHeight; }
    // Both fonts become the plain sans-serif face at the default height.
    virtual void getDefaultFonts(juce::Font& a, juce::Font& b, int unused);

    // A text cell of a list: light on dark, dark on light when selected, plain grey text when disabled.
    void drawRoundedBox(juce::Graphics& g, const juce::String& text, int width, int height, bool selected,
                        bool enabled);
    // A frame with rounded corners and the title in a gap of its top edge, in the colour already set on g.
    void drawGroupOutline(juce::Graphics& g, const juce::String& title, int x, int y, int w, int h,
                          float lineThickness, int fontHeight);
    // A padlock outline in the colour already set on g: body in the lower half, shackle above.
    void drawPadlock(juce::Graphics& g, int x, int y, int w, int h);

    juce::Colour darkColour{kDark};
    juce::Colour greyColour{kGrey};
    juce::Colour lightColour{kLight};
    juce::Colour accentColour{kAccent};

private:
    CorvanLookAndFeel();
    juce::Font plainFont(float height) const;

    static CorvanLookAndFeel* instance;
};

} // namespace corvex
