// The front panel's keyboard: five octaves and a top C, MIDI notes 36 to 96, 793 x 138 pixels.
#pragma once

#include "widgets/MVKeyboard.h"

namespace corvex {

class CorvanKeyboard : public MVKeyboard {
public:
    static constexpr int kWidth = 793;
    static constexpr int kHeight = 138;
    static constexpr int kOctaves = 5;
    static constexpr int kOctaveWidth = 154;

    explicit CorvanKeyboard(MVGuiInterface* gui);
};

} // namespace corvex
