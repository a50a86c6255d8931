// The front panel's keyboard layout.
#include "widgets/CorvanKeyboard.h"

#include "CorvexArtwork.h"
#include "widgets/CvnSkinSizes.h"
#include "widgets/MVFilmStrip.h"

namespace corvex {

namespace {

struct StripData {
    const char* data;
    int size;
};
const StripData kStripData[MVKeyboard::kStripCount] = {
    {CorvexArtwork::key_00_c_png, CorvexArtwork::key_00_c_pngSize},
    {CorvexArtwork::key_01_c_sharp_png, CorvexArtwork::key_01_c_sharp_pngSize},
    {CorvexArtwork::key_02_d_png, CorvexArtwork::key_02_d_pngSize},
    {CorvexArtwork::key_03_d_sharp_png, CorvexArtwork::key_03_d_sharp_pngSize},
    {CorvexArtwork::key_04_e_png, CorvexArtwork::key_04_e_pngSize},
    {CorvexArtwork::key_05_f_png, CorvexArtwork::key_05_f_pngSize},
    {CorvexArtwork::key_06_f_sharp_png, CorvexArtwork::key_06_f_sharp_pngSize},
    {CorvexArtwork::key_07_g_png, CorvexArtwork::key_07_g_pngSize},
    {CorvexArtwork::key_08_g_sharp_png, CorvexArtwork::key_08_g_sharp_pngSize},
    {CorvexArtwork::key_09_a_png, CorvexArtwork::key_09_a_pngSize},
    {CorvexArtwork::key_10_a_sharp_png, CorvexArtwork::key_10_a_sharp_pngSize},
    {CorvexArtwork::key_11_b_png, CorvexArtwork::key_11_b_pngSize},
    {CorvexArtwork::key_12_top_c_png, CorvexArtwork::key_12_top_c_pngSize},
};

constexpr int kWhiteWithBlackBelow = 0;
constexpr int kWhiteWithWhiteBelow = 1;
constexpr int kBlack = 2;

struct WhiteKey {
    int kind;
    int strip;
    int semitone;
};
constexpr WhiteKey kWhiteKeys[] = {{kWhiteWithWhiteBelow, 0, 0},  {kWhiteWithBlackBelow, 2, 2},
                                   {kWhiteWithBlackBelow, 4, 4},  {kWhiteWithWhiteBelow, 5, 5},
                                   {kWhiteWithBlackBelow, 7, 7},  {kWhiteWithBlackBelow, 9, 9},
                                   {kWhiteWithBlackBelow, 11, 11}};

// Each black key stands at the left edge of the white key named first plus an inset.
struct BlackKey {
    int strip;
    int semitone;
    int whiteKey; // index into kWhiteKeys
    int inset;
};
constexpr BlackKey kBlackKeys[] = {{1, 1, 0, 13}, {3, 3, 1, 17}, {6, 6, 3, 13}, {8, 8, 4, 15}, {10, 10, 5, 18}};

} // namespace

CorvanKeyboard::CorvanKeyboard(MVGuiInterface* gui) : MVKeyboard(gui) {
    for (int s = 0; s < kStripCount; ++s) {
        const auto& strip = skin::kKeyStrips[static_cast<size_t>(s)];
        const juce::Image image = loadWidgetImage(kStripData[s].data, static_cast<size_t>(kStripData[s].size));
        setStrip(s, image, image.isValid() ? image.getWidth() : strip.width, strip.keyHeight);
    }
    // White keys first, edge to edge; the black keys after them lie on top and win where they overlap.
    int whiteX[kOctaves][7] = {};
    int x = 0;
    for (int octave = 0; octave < kOctaves; ++octave)
        for (int w = 0; w < 7; ++w) {
            const WhiteKey& key = kWhiteKeys[w];
            whiteX[octave][w] = x;
            addKey(key.kind, key.strip, 12 * octave + key.semitone, x);
            x += skin::kKeyStrips[static_cast<size_t>(key.strip)].width;
        }
    addKey(kWhiteWithWhiteBelow, 12, 12 * kOctaves, x);
    for (int octave = 0; octave < kOctaves; ++octave)
        for (const BlackKey& key : kBlackKeys)
            addKey(kBlack, key.strip, 12 * octave + key.semitone, whiteX[octave][key.whiteKey] + key.inset);
    setSize(kWidth, kHeight);
    setOctave(-1);
}

} // namespace corvex
