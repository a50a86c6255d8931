// The pixel sizes and frame counts of the front panel's pictures: the widgets size themselves by them and the
// artwork generator draws to them, so a picture and the widget showing it cannot drift apart.
#pragma once

#include <array>

namespace corvex::skin {

struct Size {
    int width;
    int height;
};

inline constexpr int kKnobFrames = 64;
inline constexpr Size kKnob{48, 37};     // left and middle styles, both four-position kinds
inline constexpr Size kFlatKnob{59, 51};
inline constexpr Size kWheel{72, 33};

inline constexpr Size kSlider{25, 50};
inline constexpr Size kLeftThumb{25, 12};
inline constexpr Size kMiddleThumb{29, 13};
inline constexpr Size kRightThumb{27, 15};

inline constexpr Size kLedButton{16, 26};
inline constexpr Size kLfoButton{36, 18};
inline constexpr Size kLeftSwitch2{18, 31};
inline constexpr Size kRightSwitch2{21, 32};
inline constexpr Size kSwitch3{18, 31};
inline constexpr Size kCloseButton{12, 12};
inline constexpr Size kLfoLed{12, 13};

// The four-position knobs show only these frames of the 64: their detents on the 300 degree sweep.
inline constexpr std::array<int, 4> kFourPositionFrames{24, 30, 37, 43};

// The keyboard's 13 key strips, by strip number: the key's width and height and the frames stacked in the strip.
struct KeyStrip {
    int width;
    int keyHeight;
    int frames;
    bool black;
};
inline constexpr int kKeyStripCount = 13;
inline constexpr std::array<KeyStrip, kKeyStripCount> kKeyStrips{{
    {22, 138, 3, false}, // C
    {14, 84, 2, true},   // C sharp
    {22, 138, 8, false}, // D
    {14, 84, 2, true},   // D sharp
    {23, 138, 8, false}, // E
    {22, 138, 3, false}, // F
    {12, 84, 2, true},   // F sharp
    {22, 138, 8, false}, // G
    {13, 84, 2, true},   // G sharp
    {22, 138, 8, false}, // A
    {13, 84, 2, true},   // A sharp
    {21, 138, 8, false}, // B
    {23, 138, 3, false}, // top C
}};

} // namespace corvex::skin
