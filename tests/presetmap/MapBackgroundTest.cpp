// "mapBackground.png": the ground, one patch's glow and the stretch of the channels, and its file.
#include "presetmap/MapBackground.h"

#include <cmath>

#include <gtest/gtest.h>

#include "tests/presetmap/FakeSoundmapSupport.h"
#include "tests/presets/PresetTestSupport.h"

namespace corvex {
namespace {

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};
std::ostream& operator<<(std::ostream& out, const Rgb& c) { return out << c.r << "," << c.g << "," << c.b; }

Rgb at(const juce::Image& image, int x, int y) {
    const juce::Colour c = image.getPixelAt(x, y);
    return {c.getRed(), c.getGreen(), c.getBlue()};
}

PresetMapRecord place(float x, float y, int type) {
    PresetMapRecord r;
    r.key = 1;
    r.x = x;
    r.y = y;
    r.type = type;
    return r;
}

TEST(MapBackground, AnEmptyMapIsTheGroundStretchedOverTheWholeRange) {
    const juce::Image image = renderMapBackground({});
    ASSERT_EQ(image.getWidth(), 1024);
    ASSERT_EQ(image.getHeight(), 1024);
    EXPECT_FALSE(image.hasAlphaChannel());
    for (const auto& [x, y] : {std::pair{0, 0}, {1023, 1023}, {512, 300}, {1023, 0}})
        EXPECT_EQ(at(image, x, y), (Rgb{40, 255, 40})) << x << "," << y;
}

TEST(MapBackground, OnePatchGlowsInItsTypesColourAndFadesWithinItsReach) {
    // A "Bass" patch (23, 23, 106): its blue is the brightest sum, the ground's red and blue the dimmest.
    const juce::Image image = renderMapBackground({place(300.0f, 400.0f, 2)});
    const Rgb centre = at(image, 300, 400);
    EXPECT_EQ(centre.b, 255);
    EXPECT_GT(centre.r, 60);
    EXPECT_EQ(centre.r, centre.g - 1) << "red and green glow alike; green sits one ground step higher";
    const Rgb ground = at(image, 1000, 1000);
    EXPECT_EQ(ground, (Rgb{40, 41, 40}));
    // The glow fades with distance, the same way in every direction, and ends about 267 pixels out.
    int previous = 256;
    for (int d = 0; d <= 260; d += 20) {
        const Rgb right = at(image, 300 + d, 400), up = at(image, 300, 400 - d);
        EXPECT_EQ(right, up) << d;
        EXPECT_LE(right.b, previous) << d;
        previous = right.b;
    }
    EXPECT_GT(at(image, 300 + 262, 400).b, ground.b);
    EXPECT_EQ(at(image, 300 + 270, 400), ground);
    EXPECT_EQ(at(image, 300 + 200, 400 + 200), ground) << "283 pixels away";
}

TEST(MapBackground, ManyPatchesKeepEveryChannelBetween40And255) {
    PresetMapRecords records;
    for (int type = 0; type < 12; ++type)
        for (int k = 0; k < 3; ++k)
            records.push_back(place(80.0f * type + 20.0f * k, 1023.0f - 90.0f * type + 7.0f * k, type));
    // Places outside the image glow into it from there, or not at all.
    records.push_back(place(-100.0f, 500.0f, 3));
    records.push_back(place(5000.0f, -1e30f, 3));
    const juce::Image image = renderMapBackground(records);
    int lowest = 255, highest = 0;
    for (int y = 0; y < 1024; ++y)
        for (int x = 0; x < 1024; ++x) {
            const Rgb c = at(image, x, y);
            lowest = std::min({lowest, c.r, c.g, c.b});
            highest = std::max({highest, c.r, c.g, c.b});
        }
    EXPECT_EQ(lowest, 40);
    EXPECT_EQ(highest, 255);
    EXPECT_GT(at(image, 60, 500).r, at(image, 60, 500).g) << "the red glow from left of the image reaches in";
}

TEST(MapBackground, SavingWritesAPngAndAFailedWriteKeepsTheOldOne) {
    testing::TempFolder temp;
    testing::FakeSoundmapSupport support(temp.root().getChildFile("Save"));
    ASSERT_TRUE(saveMapBackground(support, {place(512.0f, 512.0f, 1)}));
    const juce::Image read = juce::ImageFileFormat::loadFrom(support.backgroundFile());
    ASSERT_TRUE(read.isValid());
    EXPECT_EQ(read.getWidth(), 1024);
    EXPECT_EQ(at(read, 512, 512).g, 255) << "a Pad's green glow";

    const std::vector<uint8_t> before = testing::readBytes(support.backgroundFile());
    {
        testing::FileSizeLimit limit(2000);
        EXPECT_FALSE(saveMapBackground(support, {place(100.0f, 100.0f, 3)}));
    }
    EXPECT_EQ(testing::readBytes(support.backgroundFile()), before);
}

} // namespace
} // namespace corvex
