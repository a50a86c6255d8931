// The gallery's skinned section builds, shows the keyboard's lit keys and the split marker, and leaves a
// snapshot behind for the eye (CORVEX_SNAPSHOT_DIR, when set, says where).
#include <gtest/gtest.h>

#include "tests/support/FakeGui.h"
#include "tests/support/Snapshots.h"
#include "tools/gallery/GallerySkinned.h"

namespace corvex {
namespace {

TEST(SkinnedGallery, SnapshotShowsWidgetsKeysAndMarker) {
    FakeGui gui;
    const auto section = createSkinnedSection(&gui);
    ASSERT_EQ(section->getWidth(), kSkinnedSectionWidth);
    const juce::Image shot = snapshotOf(*section);
    // A lit key is darker than one at rest: the first C (lit) against the first D (at rest), low on the keys.
    const auto c = shot.getPixelAt(13 + 11, 180 + 120);
    const auto d = shot.getPixelAt(13 + 33, 180 + 120);
    EXPECT_LT(c.getBrightness(), d.getBrightness());
    // The marker's orange over C 60, fourteen white keys in.
    const int tip = 7 + (805 - 12) * 14 / 36 + 6;
    EXPECT_GT(shot.getPixelAt(tip, 167 + 2).getRed(), 180);

    EXPECT_TRUE(keepSnapshot(shot, "skinned-section.png"));
}

} // namespace
} // namespace corvex
