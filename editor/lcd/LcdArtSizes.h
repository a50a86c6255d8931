// The pixel sizes of the LCD holder's and the about panel's pictures and the places the pictures leave for
// their components: the panels size themselves by them and the artwork generator draws to them.
#pragma once

namespace corvex::lcdart {

struct Box {
    int x, y, width, height;
};

inline constexpr Box kHolder{0, 0, 1014, 250};
inline constexpr Box kScreen{23, 19, 966, 215}; // where the LCD sits in the holder, under the glass
inline constexpr Box kAbout{0, 0, 739, 183};
inline constexpr Box kCredits{300, 30, 200, 130};
inline constexpr Box kPopupOnClickToggle{222, 102, 43, 16};
inline constexpr Box kPopupOnOverToggle{222, 122, 43, 16};
inline constexpr int kCloseRight = 700; // the close button's right edge, at the top right of the picture
inline constexpr int kCloseTop = 15;

} // namespace corvex::lcdart
