// The kit's look-and-feel base: the library's look-and-feel plus the operations that measure and draw the
// tabbed component's tabs. Product look-and-feels derive from it and set its two colours and font height.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace corvex {

class MVLookAndFeel : public juce::LookAndFeel_V4 {
public:
    // Tab geometry: margin around the frame, tab width and height, gap between tabs, slant of a tab's sides.
    static constexpr int kTabMargin = 4;
    static constexpr int kTabWidth = 100;
    static constexpr int kTabHeight = 20;
    static constexpr int kTabGap = 10;
    static constexpr int kTabSlant = 22;
    static constexpr float kCornerRadius = 4.0f;

    virtual void getTabMetrics(int& margin, int& width, int& height, int& gap, int& slant);
    virtual void fillTabArea(juce::Graphics& g, int x, int y, int width, int height);
    // A tab behind the front one: a dark rim, the face, the text.
    virtual void drawTabButton(juce::Graphics& g, const juce::Path& tabShape, const juce::String& text, int x, int y,
                               int width, int height, bool selected);
    // The front tab, joined to the frame around the page.
    virtual void drawTabText(juce::Graphics& g, const juce::Path& tabShape, const juce::Path& frameShape,
                             const juce::String& text, int x, int y, int width, int height, bool selected);
    // Sloped sides, or a straight left side for the first tab; mirrored puts the base on top.
    virtual juce::Path createTabShape(int x, int y, int width, int height, int slant, bool firstTab, bool mirrored);
    // The frame (x, y, width, height) with the tab at tabX joined to its top edge.
    virtual juce::Path createTabOutline(int x, int y, int width, int height, int tabX, int tabWidth, int tabHeight,
                                        int slant, bool firstTab, bool mirrored);

    virtual int getDefaultFontHeight() { return 11; }

    juce::Colour getOutlineColour() const { return outline_; }
    juce::Colour getFaceColour() const { return face_; }

protected:
    MVLookAndFeel(juce::Colour outline, juce::Colour face) : outline_(outline), face_(face) {}

    void setKitColours(juce::Colour outline, juce::Colour face) {
        outline_ = outline;
        face_ = face;
    }

private:
    juce::Font tabFont() { return juce::Font(static_cast<float>(getDefaultFontHeight())); }

    juce::Colour outline_;
    juce::Colour face_;
};

} // namespace corvex
