// The pictures of the toolbar and of the strip below it, painted once in the LCD palette and then taken from
// the image cache, so every toolbar of the process shares them.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace corvex::toolbarart {

enum class Face { normal, pressed, disabled };
enum class Icon { save, saveAs, up, down, map, lcdShow, lcdHide };

constexpr int kToolbarWidth = 1016;
constexpr int kToolbarHeight = 24;
constexpr int kStripWidth = 1014;
constexpr int kStripHeight = 40;
constexpr int kLedSize = 10;

juce::Image toolbarBackground();
// The strip between the toolbar and the LCD or the front panel.
juce::Image editorStrip();
juce::Image buttonFace(Icon icon, Face face);
juce::Image midiLed(bool lit);
// The size of a button's pictures.
juce::Rectangle<int> buttonSize(Icon icon);

} // namespace corvex::toolbarart
