// The front panel's one table: every widget's kind, place, parameter and label, the section frames and the
// places of the keyboard, the split marker and the small LCD. The panel makes and binds its widgets from it and
// draws its labels from it; the artwork generator paints the panel picture (frames, slider slots, unlit lamps,
// the LCD window) from the same rows, so the two cannot drift apart. Plain data: no JUCE here.
#pragma once

#include <cstdint>

#include "instrument/params/ParameterIndex.h"
#include "widgets/CvnSkinSizes.h"

namespace corvex::frontpanel {

inline constexpr int kWidth = 1014;
inline constexpr int kHeight = 418;

enum class Widget : std::uint8_t {
    LeftKnob,
    MiddleKnob,
    Left4PosKnob,
    Middle4PosKnob,
    FlatKnob,
    Wheel,
    LeftSlider,
    MiddleSlider,
    RightSlider,
    LeftSwitch2,
    RightSwitch2,
    Switch3,
    OrangeLed,
    GreenLed,
    BlueLed,
    WhiteLed,
    YellowLed,
    RedLed,
    LfoLamp,
    LfoButton,
};

// What a row's index means: a bound widget edits it; a group step is one position of the button group bound
// to it; the other LEDs are unbound and driven by the panel.
enum class Role : std::uint8_t { Bound, GroupStep, PreferredSlot, ProjectImport, ProjectExport };

inline constexpr skin::Size sizeOf(Widget w) {
    switch (w) {
    case Widget::LeftKnob:
    case Widget::MiddleKnob:
    case Widget::Left4PosKnob:
    case Widget::Middle4PosKnob: return skin::kKnob;
    case Widget::FlatKnob: return skin::kFlatKnob;
    case Widget::Wheel: return skin::kWheel;
    case Widget::LeftSlider:
    case Widget::MiddleSlider:
    case Widget::RightSlider: return skin::kSlider;
    case Widget::LeftSwitch2: return skin::kLeftSwitch2;
    case Widget::RightSwitch2: return skin::kRightSwitch2;
    case Widget::Switch3: return skin::kSwitch3;
    case Widget::LfoLamp: return skin::kLfoLed;
    case Widget::LfoButton: return skin::kLfoButton;
    default: return skin::kLedButton;
    }
}

inline constexpr bool isSlider(Widget w) {
    return w == Widget::LeftSlider || w == Widget::MiddleSlider || w == Widget::RightSlider;
}

inline constexpr bool isRoundKnob(Widget w) {
    return w == Widget::LeftKnob || w == Widget::MiddleKnob || w == Widget::Left4PosKnob ||
           w == Widget::Middle4PosKnob;
}

struct Rect {
    int x, y, width, height;
    constexpr int right() const { return x + width; }
    constexpr int bottom() const { return y + height; }
    constexpr bool overlaps(const Rect& o) const {
        return x < o.right() && o.x < right() && y < o.bottom() && o.y < bottom();
    }
    constexpr bool contains(const Rect& o) const {
        return o.x >= x && o.y >= y && o.right() <= right() && o.bottom() <= bottom();
    }
};

// A band is one line of the grid: its widgets are centred in the band's zone, and their labels sit on one
// line below it (or, in a band too low for that, to the widget's left).
struct Band {
    int zoneTop;
    int zoneHeight;
    bool labelsBelow;
};
inline constexpr int kLabelHeight = 10;
inline constexpr int kTitleHeight = 12;
inline constexpr Band kBands[] = {
    {19, 50, true},   // 0: oscillators and master
    {97, 50, true},   // 1: mixer, filters, amplifier, envelopes, arpeggiator
    {175, 50, true},  // 2: voices, modes, layers, memories
    {256, 31, true},  // 3: the controllers' switches
    {300, 50, true},  // 4: the controllers' sliders and the glide knob
    {381, 33, false}, // 5: the wheel
    {5, 13, false},   // 6: the LFO lamps, on the LFO section's title line
};

struct Row {
    Widget widget;
    int x;
    int band;
    Role role;
    int index;  // the parameter (Upper form for a layer row), the group's parameter, or -1
    int step;   // the group position or the preferred slot
    const char* label;
};

struct Section {
    const char* title;
    Rect frame;
};

namespace P = ParameterIndex;

inline constexpr Section kSections[] = {
    {"MASTER", {4, 4, 217, 76}},
    {"LFO", {227, 4, 247, 76}},
    {"VCO MOD", {480, 4, 185, 76}},
    {"VCO 1", {671, 4, 113, 76}},
    {"VCO 2", {790, 4, 217, 76}},
    {"MIXER", {4, 82, 64, 76}},
    {"HPF", {74, 82, 40, 76}},
    {"VCF", {120, 82, 210, 76}},
    {"VCA", {336, 82, 68, 76}},
    {"ENV 1", {410, 82, 176, 76}},
    {"ENV 2", {592, 82, 150, 76}},
    {"ARPEGGIO", {748, 82, 258, 76}},
    {"VOICE", {4, 160, 141, 76}},
    {"HOLD", {151, 160, 77, 76}},
    {"KEY MODE", {234, 160, 109, 76}},
    {"LAYER", {349, 160, 183, 76}},
    {"PATCH MEMORY", {538, 160, 301, 76}},
    {"PROJECT", {845, 160, 77, 76}},
    {"SYSTEM", {928, 160, 77, 76}},
    {"BEND", {4, 240, 83, 124}},
    {"LFO MOD", {91, 240, 56, 124}},
    {"GLIDE", {151, 240, 61, 124}},
    {"PITCH", {4, 368, 208, 48}},
};

inline constexpr Row kRows[] = {
    {Widget::LeftKnob, 10, 0, Role::Bound, P::kVolume, 0, "Volume"},
    {Widget::LeftKnob, 62, 0, Role::Bound, P::kBalance, 0, "Balance"},
    {Widget::LeftKnob, 114, 0, Role::Bound, P::kMasterTune, 0, "Tune"},
    {Widget::LeftKnob, 166, 0, Role::Bound, P::kDetune, 0, "Detune"},
    {Widget::LeftSlider, 232, 0, Role::Bound, P::kLfoRate, 0, "Rate"},
    {Widget::LeftSlider, 260, 0, Role::Bound, P::kLfoDelay, 0, "Delay"},
    {Widget::Left4PosKnob, 289, 0, Role::Bound, P::kLfoWave, 0, "Wave"},
    {Widget::OrangeLed, 345, 0, Role::Bound, P::kLfoSync, 0, "Sync"},
    {Widget::FlatKnob, 368, 0, Role::Bound, P::kLfoRiseTime, 0, "Rise"},
    {Widget::LfoButton, 431, 0, Role::Bound, P::kLfoTrigger, 0, "Trigger"},
    {Widget::LfoLamp, 430, 6, Role::Bound, P::kLowerLfoLamp, 0, "L"},
    {Widget::LfoLamp, 456, 6, Role::Bound, P::kUpperLfoLamp, 0, "U"},
    {Widget::LeftSlider, 485, 0, Role::Bound, P::kOscLfoMod, 0, "LFO"},
    {Widget::LeftSlider, 513, 0, Role::Bound, P::kOscEnvMod, 0, "Env 1"},
    {Widget::Switch3, 547, 0, Role::Bound, P::kOscModSelect, 0, "Dest"},
    {Widget::LeftSlider, 573, 0, Role::Bound, P::kOscPwmMod, 0, "PWM"},
    {Widget::Switch3, 607, 0, Role::Bound, P::kOscPwmSource, 0, "PW Src"},
    {Widget::LeftSlider, 633, 0, Role::Bound, P::kOscCrossMod, 0, "X-Mod"},
    {Widget::Middle4PosKnob, 677, 0, Role::Bound, P::kOsc1Range, 0, "Range"},
    {Widget::Middle4PosKnob, 729, 0, Role::Bound, P::kOsc1Wave, 0, "Wave"},
    {Widget::LeftSwitch2, 798, 0, Role::Bound, P::kOsc2Sync, 0, "Sync"},
    {Widget::LeftSwitch2, 824, 0, Role::Bound, P::kOsc2LowFreq, 0, "Low"},
    {Widget::MiddleKnob, 848, 0, Role::Bound, P::kOsc2Range, 0, "Range"},
    {Widget::MiddleKnob, 900, 0, Role::Bound, P::kOsc2FineTune, 0, "Fine"},
    {Widget::Middle4PosKnob, 952, 0, Role::Bound, P::kOsc2Wave, 0, "Wave"},

    {Widget::MiddleKnob, 12, 1, Role::Bound, P::kOscMix, 0, "1 : 2"},
    {Widget::MiddleSlider, 81, 1, Role::Bound, P::kHpfCutoff, 0, "Cutoff"},
    {Widget::MiddleSlider, 127, 1, Role::Bound, P::kCutoff, 0, "Cutoff"},
    {Widget::MiddleSlider, 155, 1, Role::Bound, P::kResonance, 0, "Res"},
    {Widget::RightSwitch2, 184, 1, Role::Bound, P::kFilterSlope, 0, "Slope"},
    {Widget::MiddleSlider, 209, 1, Role::Bound, P::kFilterEnvMod, 0, "Env"},
    {Widget::RightSwitch2, 241, 1, Role::Bound, P::kFilterEnvSelect, 0, "Env Sel"},
    {Widget::MiddleSlider, 269, 1, Role::Bound, P::kFilterLfoMod, 0, "LFO"},
    {Widget::MiddleSlider, 297, 1, Role::Bound, P::kFilterKeyFollow, 0, "Key"},
    {Widget::MiddleSlider, 343, 1, Role::Bound, P::kVcaEnvMod, 0, "Env 2"},
    {Widget::MiddleSlider, 371, 1, Role::Bound, P::kVcaLfoMod, 0, "LFO"},
    {Widget::RightSlider, 417, 1, Role::Bound, P::kEnv1Attack, 0, "A"},
    {Widget::RightSlider, 445, 1, Role::Bound, P::kEnv1Decay, 0, "D"},
    {Widget::RightSlider, 473, 1, Role::Bound, P::kEnv1Sustain, 0, "S"},
    {Widget::RightSlider, 501, 1, Role::Bound, P::kEnv1Release, 0, "R"},
    {Widget::RightSwitch2, 530, 1, Role::Bound, P::kEnv1KeyFollow, 0, "Key"},
    {Widget::RightSwitch2, 556, 1, Role::Bound, P::kEnv1Polarity, 0, "Inv"},
    {Widget::RightSlider, 599, 1, Role::Bound, P::kEnv2Attack, 0, "A"},
    {Widget::RightSlider, 627, 1, Role::Bound, P::kEnv2Decay, 0, "D"},
    {Widget::RightSlider, 655, 1, Role::Bound, P::kEnv2Sustain, 0, "S"},
    {Widget::RightSlider, 683, 1, Role::Bound, P::kEnv2Release, 0, "R"},
    {Widget::RightSwitch2, 712, 1, Role::Bound, P::kEnv2KeyFollow, 0, "Key"},
    {Widget::LeftSlider, 755, 1, Role::Bound, P::kArpeggioRate, 0, "Rate"},
    {Widget::LeftSwitch2, 786, 1, Role::Bound, P::kArpeggioSync, 0, "Sync"},
    {Widget::OrangeLed, 810, 1, Role::GroupStep, P::kArpeggioRange, 0, "1"},
    {Widget::OrangeLed, 830, 1, Role::GroupStep, P::kArpeggioRange, 1, "2"},
    {Widget::OrangeLed, 850, 1, Role::GroupStep, P::kArpeggioRange, 2, "3"},
    {Widget::OrangeLed, 870, 1, Role::GroupStep, P::kArpeggioRange, 3, "4"},
    {Widget::YellowLed, 894, 1, Role::GroupStep, P::kArpeggioMode, 1, "Up"},
    {Widget::YellowLed, 922, 1, Role::GroupStep, P::kArpeggioMode, 2, "Down"},
    {Widget::YellowLed, 950, 1, Role::GroupStep, P::kArpeggioMode, 3, "U+D"},
    {Widget::YellowLed, 978, 1, Role::GroupStep, P::kArpeggioMode, 4, "Rnd"},

    {Widget::WhiteLed, 18, 2, Role::GroupStep, P::kPolyMode, 1, "Mono"},
    {Widget::WhiteLed, 50, 2, Role::GroupStep, P::kPolyMode, 2, "Uni"},
    {Widget::WhiteLed, 82, 2, Role::GroupStep, P::kPolyMode, 3, "Poly1"},
    {Widget::WhiteLed, 114, 2, Role::GroupStep, P::kPolyMode, 4, "Poly2"},
    {Widget::GreenLed, 165, 2, Role::Bound, P::kLowerHold, 0, "Lower"},
    {Widget::GreenLed, 197, 2, Role::Bound, P::kUpperHold, 0, "Upper"},
    // The mode LEDs read Dual, Split, Whole from the left, though Whole is the mode's first position.
    {Widget::BlueLed, 248, 2, Role::GroupStep, P::kKeyMode, 1, "Dual"},
    {Widget::BlueLed, 280, 2, Role::GroupStep, P::kKeyMode, 2, "Split"},
    {Widget::BlueLed, 312, 2, Role::GroupStep, P::kKeyMode, 0, "Whole"},
    {Widget::BlueLed, 363, 2, Role::GroupStep, P::kShownLayer, 1, "Lower"},
    {Widget::BlueLed, 395, 2, Role::GroupStep, P::kShownLayer, 0, "Upper"},
    {Widget::WhiteLed, 545, 2, Role::PreferredSlot, -1, 0, "1"},
    {Widget::WhiteLed, 563, 2, Role::PreferredSlot, -1, 1, "2"},
    {Widget::WhiteLed, 581, 2, Role::PreferredSlot, -1, 2, "3"},
    {Widget::WhiteLed, 599, 2, Role::PreferredSlot, -1, 3, "4"},
    {Widget::WhiteLed, 617, 2, Role::PreferredSlot, -1, 4, "5"},
    {Widget::WhiteLed, 635, 2, Role::PreferredSlot, -1, 5, "6"},
    {Widget::WhiteLed, 653, 2, Role::PreferredSlot, -1, 6, "7"},
    {Widget::WhiteLed, 671, 2, Role::PreferredSlot, -1, 7, "8"},
    {Widget::YellowLed, 689, 2, Role::PreferredSlot, -1, 8, "9"},
    {Widget::YellowLed, 707, 2, Role::PreferredSlot, -1, 9, "10"},
    {Widget::YellowLed, 725, 2, Role::PreferredSlot, -1, 10, "11"},
    {Widget::YellowLed, 743, 2, Role::PreferredSlot, -1, 11, "12"},
    {Widget::OrangeLed, 761, 2, Role::PreferredSlot, -1, 12, "13"},
    {Widget::OrangeLed, 779, 2, Role::PreferredSlot, -1, 13, "14"},
    {Widget::OrangeLed, 797, 2, Role::PreferredSlot, -1, 14, "15"},
    {Widget::OrangeLed, 815, 2, Role::PreferredSlot, -1, 15, "16"},
    {Widget::BlueLed, 859, 2, Role::ProjectImport, -1, 0, "Import"},
    {Widget::BlueLed, 891, 2, Role::ProjectExport, -1, 0, "Export"},
    {Widget::RedLed, 942, 2, Role::Bound, P::kReferenceTone, 0, "A 440"},
    {Widget::GreenLed, 974, 2, Role::Bound, P::kAboutShown, 0, "About"},

    {Widget::LeftSwitch2, 11, 3, Role::Bound, P::kVco1BendSwitch, 0, "VCO1"},
    {Widget::LeftSwitch2, 36, 3, Role::Bound, P::kVco2BendSwitch, 0, "VCO2"},
    {Widget::LeftSwitch2, 61, 3, Role::Bound, P::kVcfBendSwitch, 0, "VCF"},
    {Widget::LeftSlider, 21, 4, Role::Bound, P::kVcoBendAmount, 0, "VCO"},
    {Widget::LeftSlider, 58, 4, Role::Bound, P::kVcfBendAmount, 0, "VCF"},
    {Widget::LeftSwitch2, 98, 3, Role::Bound, P::kVcoLfoSwitch, 0, "VCO"},
    {Widget::LeftSwitch2, 123, 3, Role::Bound, P::kVcfLfoSwitch, 0, "VCF"},
    {Widget::LeftSlider, 95, 4, Role::Bound, P::kVcoLfoAmount, 0, "Amt"},
    {Widget::LeftSlider, 120, 4, Role::Bound, P::kVcfLfoAmount, 0, "Amt"},
    {Widget::Switch3, 172, 3, Role::Bound, P::kPortamentoSwitch, 0, "Mode"},
    {Widget::FlatKnob, 152, 4, Role::Bound, P::kPortamento, 0, "Time"},
    {Widget::Wheel, 72, 5, Role::Bound, P::kPitchWheel, 0, "Bend"},
};

inline constexpr int kRowCount = static_cast<int>(sizeof(kRows) / sizeof(kRows[0]));

// The button groups and how many steps each parameter has; a step without an LED (position 0 of the voice and
// arpeggio modes, where the other of the two plays) keeps its place in the group as an empty member.
struct ButtonGroup {
    int index;
    int steps;
};
inline constexpr ButtonGroup kButtonGroups[] = {
    {P::kArpeggioRange, 4}, {P::kArpeggioMode, 5}, {P::kPolyMode, 5}, {P::kKeyMode, 3}, {P::kShownLayer, 2}};

// Every group LED names a step its group has, and no step has two LEDs.
inline constexpr bool groupStepsFit() {
    for (const Row& row : kRows) {
        if (row.role != Role::GroupStep) continue;
        int steps = 0;
        for (const ButtonGroup& g : kButtonGroups)
            if (g.index == row.index) steps = g.steps;
        if (row.step < 0 || row.step >= steps) return false;
        int leds = 0;
        for (const Row& other : kRows)
            leds += other.role == Role::GroupStep && other.index == row.index && other.step == row.step ? 1 : 0;
        if (leds != 1) return false;
    }
    return true;
}
static_assert(groupStepsFit(), "a group LED outside its group's steps");

inline constexpr Rect kKeyboard{215, 276, 793, 138};
// Six pixels wider than the keyboard on each side, so that the marker's point falls on a key's left edge.
inline constexpr Rect kSplitMarker{209, 263, 805, 30};
inline constexpr Rect kSmallLcd{423, 178, 98, 44};
// The recess the keyboard and the marker sit in.
inline constexpr Rect kKeyboardBed{213, 258, 799, 158};

// A widget centred in its band's zone; odd spares round towards the top.
inline constexpr Rect boundsOf(const Row& row) {
    const skin::Size size = sizeOf(row.widget);
    const Band& band = kBands[row.band];
    const int spare = band.zoneHeight - size.height;
    return {row.x, band.zoneTop + (spare >= 0 ? spare / 2 : -((1 - spare) / 2)), size.width, size.height};
}

// Where a label's text is centred (below) or right-aligned (left): its box, wide enough for the text the grid
// leaves room for.
inline constexpr int kLabelGap = 3;
inline constexpr Rect labelBoxOf(const Row& row, int textWidth) {
    const Rect w = boundsOf(row);
    const Band& band = kBands[row.band];
    if (band.labelsBelow)
        return {w.x + w.width / 2 - textWidth / 2, band.zoneTop + band.zoneHeight + 1, textWidth, kLabelHeight};
    return {w.x - kLabelGap - textWidth, w.y + (w.height - kLabelHeight) / 2, textWidth, kLabelHeight};
}

inline constexpr Rect titleBoxOf(const Section& section) {
    return {section.frame.x + 5, section.frame.y + 2, section.frame.width - 10, kTitleHeight};
}

} // namespace corvex::frontpanel
