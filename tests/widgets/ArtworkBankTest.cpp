// The embedded pictures: each decodes to the size its widget expects, with whole frames, and the bank is exactly
// what the generator draws today, so a committed PNG can never drift from its painter.
#include <gtest/gtest.h>

#include <set>

#include "CorvexArtwork.h"
#include "tools/artwork/ArtworkCatalogue.h"

namespace corvex {
namespace {

juce::Image embedded(const juce::String& resource) {
    int size = 0;
    const char* data = CorvexArtwork::getNamedResource(resource.toRawUTF8(), size);
    if (data == nullptr) return {};
    return juce::ImageFileFormat::loadFrom(data, static_cast<size_t>(size));
}

juce::String resourceName(const juce::String& file) { return file.replaceCharacter('.', '_'); }

TEST(ArtworkBank, EveryPictureHasItsStatedSizeAndWholeFrames) {
    struct Case {
        const char* resource;
        int width;
        int height;
        int frames;
    };
    std::vector<Case> cases = {
        {"knob_left_png", 48, 2368, 64},    {"knob_middle_png", 48, 2368, 64},  {"knob_flat_png", 59, 3264, 64},
        {"wheel_png", 72, 2112, 64},        {"thumb_left_png", 25, 12, 1},      {"thumb_middle_png", 29, 13, 1},
        {"thumb_right_png", 27, 15, 1},     {"lfo_button_off_png", 36, 18, 1},  {"lfo_button_on_png", 36, 18, 1},
        {"switch2_left_png", 18, 62, 2},    {"switch2_right_png", 21, 64, 2},   {"switch3_png", 18, 93, 3},
        {"close_button_png", 12, 12, 1},    {"lfo_led_lit_png", 12, 13, 1},     {"lfo_led_base_png", 12, 13, 1},
        {"key_00_c_png", 22, 414, 3},       {"key_01_c_sharp_png", 14, 168, 2}, {"key_02_d_png", 22, 1104, 8},
        {"key_03_d_sharp_png", 14, 168, 2}, {"key_04_e_png", 23, 1104, 8},      {"key_05_f_png", 22, 414, 3},
        {"key_06_f_sharp_png", 12, 168, 2}, {"key_07_g_png", 22, 1104, 8},      {"key_08_g_sharp_png", 13, 168, 2},
        {"key_09_a_png", 22, 1104, 8},      {"key_10_a_sharp_png", 13, 168, 2}, {"key_11_b_png", 21, 1104, 8},
        {"key_12_top_c_png", 23, 414, 3},   {"front_panel_png", 1014, 418, 1},  {"lcd_frame_png", 1014, 250, 1},
        {"lcd_glass_png", 1014, 250, 1},    {"about_png", 739, 183, 1},         {"about_toggle_off_png", 43, 16, 1},
        {"about_toggle_on_png", 43, 16, 1},
        {"map_morph_cursor_png", 16, 16, 1}, {"map_types_all_png", 38, 23, 1}, {"map_types_all_down_png", 38, 23, 1},
        {"map_types_none_png", 38, 23, 1},  {"map_types_none_down_png", 38, 23, 1},
    };
    static const juce::String leds[] = {"blue", "green", "orange", "red", "white", "yellow"};
    static const juce::String states[] = {"off", "off_down", "on", "on_down"};
    std::vector<juce::String> ledNames;
    for (const auto& colour : leds)
        for (const auto& state : states) ledNames.push_back("led_" + colour + "_" + state + "_png");
    for (const auto& name : ledNames) cases.push_back({name.toRawUTF8(), 16, 26, 1});
    std::vector<juce::String> barKeyNames;
    for (const char* letter : {"w", "n", "s", "e"})
        for (const char* stem : {"store", "recall", "snap_down"})
            barKeyNames.push_back(juce::String("map_bar_") + stem + "_" + letter + "_png");
    for (const char* stem : {"prev", "next", "show_map", "show_list", "show_morpher"})
        for (const char* down : {"", "_down"}) barKeyNames.push_back(juce::String("map_bar_") + stem + down + "_png");
    for (const auto& name : barKeyNames) cases.push_back({name.toRawUTF8(), 38, 23, 1});
    cases.push_back({"map_bar_png", 640, 30, 1});
    cases.push_back({"map_bar_tools_png", 24, 24, 1});
    cases.push_back({"map_morpher_png", 512, 512, 1});

    EXPECT_EQ(static_cast<size_t>(CorvexArtwork::namedResourceListSize), cases.size()) << "no picture unaccounted";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.resource);
        const juce::Image image = embedded(c.resource);
        ASSERT_TRUE(image.isValid());
        EXPECT_EQ(image.getWidth(), c.width);
        EXPECT_EQ(image.getHeight(), c.height);
        EXPECT_EQ(image.getHeight() % c.frames, 0);
    }
}

TEST(ArtworkBank, RedrawingGivesTheEmbeddedPicturesPixelForPixel) {
    const juce::File folder =
        juce::File::getSpecialLocation(juce::File::tempDirectory)
            .getChildFile("corvex-artwork-" + juce::String::toHexString(juce::Random().nextInt64()));
    ASSERT_TRUE(art::writeArtwork(folder));
    std::set<juce::String> drawn;
    for (const juce::File& file : folder.findChildFiles(juce::File::findFiles, false, "*.png")) {
        SCOPED_TRACE(file.getFileName());
        drawn.insert(resourceName(file.getFileName()));
        const juce::Image fresh = juce::ImageFileFormat::loadFrom(file);
        const juce::Image kept = embedded(resourceName(file.getFileName()));
        ASSERT_TRUE(kept.isValid()) << "drawn but not embedded: run corvex-artwork into resources/artwork";
        ASSERT_EQ(fresh.getBounds(), kept.getBounds());
        int differing = 0;
        for (int y = 0; y < fresh.getHeight(); ++y)
            for (int x = 0; x < fresh.getWidth(); ++x)
                differing += fresh.getPixelAt(x, y).getARGB() != kept.getPixelAt(x, y).getARGB() ? 1 : 0;
        EXPECT_EQ(differing, 0);
    }
    folder.deleteRecursively();
    for (int i = 0; i < CorvexArtwork::namedResourceListSize; ++i)
        EXPECT_EQ(drawn.count(CorvexArtwork::namedResourceList[i]), 1u)
            << CorvexArtwork::namedResourceList[i] << " is embedded but no longer drawn";
}

TEST(ArtworkBank, ThumbCapsFitTheSliderAndAreCentred) {
    for (const char* name : {"thumb_left_png", "thumb_middle_png", "thumb_right_png"}) {
        SCOPED_TRACE(name);
        const juce::Image thumb = embedded(name);
        ASSERT_TRUE(thumb.isValid());
        int left = thumb.getWidth();
        int right = -1;
        const int y = thumb.getHeight() / 2;
        for (int x = 0; x < thumb.getWidth(); ++x)
            if (thumb.getPixelAt(x, y).getAlpha() > 200) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        EXPECT_LE(right - left + 1, 25) << "the cap fits the 25-pixel slider";
        EXPECT_LE(std::abs((left + right) - (thumb.getWidth() - 1)), 2) << "centred in its picture";
    }
}

} // namespace
} // namespace corvex
